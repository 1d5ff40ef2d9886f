#include "platform/filesystem/processos.h"

#include <windows.h>

namespace winfs {

bool processoEmExecucao(qint64 pid)
{
    if (pid <= 0)
        return false;
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, DWORD(pid));
    if (!h)
        return GetLastError() == ERROR_ACCESS_DENIED;
    const bool roda = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return roda;
}

} // namespace winfs
