#pragma once
// Inside platform/os: what os.cpp takes from the host (os_posix.cpp,
// os_win.cpp). Kept apart from os.h, whose names (GetVersionEx, WinExec,
// SW_SHOWNORMAL, VER_PLATFORM_*) the Windows headers take for macros.
#include <QStringList>

namespace os::host {

// The system's version numbers; false when the query fails.
bool version(int &major, int &minor, int &build);

// os::iniciaEmLugar.
QString iniciaEmLugar(const QString &programa, const QStringList &argumentos, const QString &pasta);

} // namespace os::host
