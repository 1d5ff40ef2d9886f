// The version query, the console and the start in this process's place on
// Windows.
#include "platform/os/console.h"
#include "platform/os/os_host.h"

#include <QFileInfo>
#include <QProcess>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace os {

QString host::iniciaEmLugar(const QString &programa, const QStringList &argumentos, const QString &pasta)
{
    if (!QFileInfo(programa).isFile())
        return QStringLiteral("o arquivo não existe");
    if (!QProcess::startDetached(programa, argumentos, pasta))
        return QStringLiteral("o sistema não o iniciou");
    return QString();
}

void useUtf8Console()
{
    // A window program started from a console (the launcher, the setup's
    // --demo) writes there; output sent elsewhere (a file, a pipe) it has already.
    if (GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) == FILE_TYPE_UNKNOWN && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

namespace host {

bool version(int &major, int &minor, int &build)
{
    // The system's own numbers: GetVersionExW reports those of the version a
    // program declares it knows, and this one declares none.
    using RtlGetVersionFn = LONG(WINAPI *)(OSVERSIONINFOW *);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto rtlGetVersion = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void *>(GetProcAddress(ntdll, "RtlGetVersion")))
                                     : nullptr;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!rtlGetVersion || rtlGetVersion(&info) != 0)
        return false;
    major = int(info.dwMajorVersion);
    minor = int(info.dwMinorVersion);
    build = int(info.dwBuildNumber);
    return true;
}

} // namespace host
} // namespace os
