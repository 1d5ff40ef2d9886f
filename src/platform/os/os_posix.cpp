// The version query and the console on a POSIX host.
#include "platform/os/console.h"
#include "platform/os/os_host.h"

#include <QStringList>
#include <QSysInfo>

namespace os {

void useUtf8Console()
{
}

namespace host {

bool version(int &major, int &minor, int &build)
{
    // The kernel's release stands for the system's version.
    const QStringList parts = QSysInfo::kernelVersion().split(QLatin1Char('.'));
    major = parts.value(0).toInt();
    minor = parts.value(1).toInt();
    build = 0;
    return true;
}

} // namespace host
} // namespace os
