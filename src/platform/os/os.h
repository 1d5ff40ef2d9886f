#pragma once
// Operating system services: the version record and starting a program.
#include <QString>
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

// Tests take the place of the start with a recorder.
using ExecHook = std::function<int(const QString &commandLine)>;
void setExecHook(ExecHook hook);

} // namespace os
