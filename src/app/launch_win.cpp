// The launcher's start of the program on Windows: a process of its own in
// its folder; the launcher then ends.
#include "app/setup.h"

#include <QFileInfo>
#include <QProcess>

namespace zqsetup {

QString startProgram(const Launch &launch)
{
    if (!QFileInfo(launch.program).isFile())
        return QStringLiteral("o arquivo não existe");
    if (!QProcess::startDetached(launch.program, launch.arguments, launch.folder))
        return QStringLiteral("o sistema não o iniciou");
    return QString();
}

} // namespace zqsetup
