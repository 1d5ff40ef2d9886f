// The version query, the console and the start in this process's place on
// a POSIX host.
#include "platform/os/console.h"
#include "platform/os/os_host.h"

#include <QFile>
#include <QStringList>
#include <QSysInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace os {

QString host::iniciaEmLugar(const QString &programa, const QStringList &argumentos, const QString &pasta)
{
    std::vector<QByteArray> args{QFile::encodeName(programa)};
    for (const QString &a : argumentos)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::chdir(QFile::encodeName(pasta).constData()) == 0)
        ::execv(argv[0], argv.data());
    return QString::fromLocal8Bit(std::strerror(errno));
}

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
