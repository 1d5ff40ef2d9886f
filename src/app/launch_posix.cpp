// The launcher's start of the program on a POSIX host: the program takes the
// place of the launcher's process.
#include "app/setup.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace zqsetup {

QString startProgram(const Launch &launch)
{
    std::vector<QByteArray> args{QFile::encodeName(launch.program)};
    for (const QString &a : launch.arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::chdir(QFile::encodeName(launch.folder).constData()) == 0)
        ::execv(argv[0], argv.data());
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace zqsetup
