#pragma once
// Operating system services: the version record and starting a program.
#include <QString>
#include <QStringList>
#include <functional>

namespace os {

// Platform identifiers of the version record.
enum { VER_PLATFORM_WIN32s = 0, VER_PLATFORM_WIN32_WINDOWS = 1, VER_PLATFORM_WIN32_NT = 2 };

struct OSVersionInfo {
    int majorVersion = 0;
    int minorVersion = 0;
    int buildNumber = 0;
    int platformId = 0;
};

// Fills the record; false when the query fails. This platform reports the NT family.
bool GetVersionEx(OSVersionInfo &info);

enum { SW_SHOWNORMAL = 1 };

// Starts a program from a command line (program, blank, arguments). The
// platform's help viewers "winhelp.exe" and "winhlp32.exe" are played by the
// program's own viewer beside the executable. Returns a value above 31 when
// the program started.
int WinExec(const QString &commandLine, int show);

// A program installed beside this one, named without the host's suffix
// ("renomeia-zq" is "renomeia-zq.exe" on Windows).
QString programaAoLado(const QString &nome);

// Starts programa in pasta in this process's place. On a POSIX host it takes
// over this process (exec), so that whoever started this one sees it end
// with the program; on Windows it is started in its folder and this process
// is to end. Returns an empty text when it started, else the cause.
QString iniciaEmLugar(const QString &programa, const QStringList &argumentos, const QString &pasta);

// Tests take the place of the start with a recorder.
using ExecHook = std::function<int(const QString &commandLine)>;
void setExecHook(ExecHook hook);

} // namespace os
