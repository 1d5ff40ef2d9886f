// The file handles' host side on Windows: file handles with the system's own
// share modes.
#include "platform/filesystem/sistema_win.h"

namespace winfs::host {

namespace {

HANDLE h(Handle handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

int code(DWORD err, bool writing)
{
    return codigoDoSistema(err, writing ? ioWriteFault : ioReadFault);
}

} // namespace

int openForReading(const QString &windowsName, Handle &handle)
{
    // Others may read, rename or remove it, not write to it.
    const HANDLE f = CreateFileW(wide(native(windowsName)), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return code(GetLastError(), false);
    // Devices (NUL, CON, COM1, a pipe) are not files.
    if (GetFileType(f) != FILE_TYPE_DISK) {
        CloseHandle(f);
        return ioAccessDenied;
    }
    handle = reinterpret_cast<Handle>(f);
    return 0;
}

int read(Handle handle, void *data, qint64 count, qint64 &got)
{
    DWORD n = 0;
    const DWORD ask = DWORD(std::min<qint64>(count, 1 << 30));
    if (!ReadFile(h(handle), data, ask, &n, nullptr))
        return code(GetLastError(), false);
    got = n;
    return 0;
}

qint64 size(Handle handle)
{
    LARGE_INTEGER s;
    return GetFileSizeEx(h(handle), &s) ? qint64(s.QuadPart) : -1;
}

QDateTime modified(Handle handle)
{
    FILETIME ft;
    if (!GetFileTime(h(handle), nullptr, nullptr, &ft))
        return {};
    return localStamp(ft);
}

int openForWriting(const QString &windowsName, Handle &handle)
{
    // Nobody else reads or writes it; the delivery may rename it while it is open.
    const HANDLE f = CreateFileW(wide(native(windowsName)), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return code(GetLastError(), true);
    const DWORD type = GetFileType(f);
    if (type == FILE_TYPE_DISK) {
        // Emptied once it is ours: a file that another handle holds stays whole.
        if (!SetEndOfFile(f)) {
            const int c = code(GetLastError(), true);
            CloseHandle(f);
            return c;
        }
    } else if (type != FILE_TYPE_CHAR) {
        CloseHandle(f);
        return ioAccessDenied;
    }
    handle = reinterpret_cast<Handle>(f);
    return 0;
}

int write(Handle handle, const char *data, qint64 count, qint64 &written)
{
    DWORD n = 0;
    if (!WriteFile(h(handle), data, DWORD(std::min<qint64>(count, 1 << 30)), &n, nullptr))
        return code(GetLastError(), true);
    if (n == 0)
        return ioWriteFault;
    written = n;
    return 0;
}

int flush(Handle handle)
{
    // Devices such as NUL cannot be flushed and need not be.
    if (GetFileType(h(handle)) != FILE_TYPE_DISK)
        return 0;
    return FlushFileBuffers(h(handle)) ? 0 : code(GetLastError(), true);
}

int close(Handle handle, bool writing)
{
    return CloseHandle(h(handle)) ? 0 : code(GetLastError(), writing);
}

} // namespace winfs::host
