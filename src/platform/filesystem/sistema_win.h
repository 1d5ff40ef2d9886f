#pragma once
// Inside platform/filesystem, for the Windows files only (winfs_win.cpp,
// filehandles_win.cpp): names, stamps and error codes in the forms the
// system's calls take and give.
#include "platform/filesystem/winfs.h"
#include "platform/filesystem/winfs_host.h"
#include "platform/runtime/errors.h"

#include <QDir>

#include <windows.h>

namespace winfs {

inline const wchar_t *wide(const QString &s)
{
    return reinterpret_cast<const wchar_t *>(s.utf16());
}

// The host path in the form the system's calls take ("C:\x\y").
inline QString native(const QString &windowsName)
{
    return QDir::toNativeSeparators(hostPath(windowsName));
}

// A file time (100 ns since 1601, UTC) in local time, whole seconds.
inline QDateTime localStamp(const FILETIME &ft)
{
    const qint64 ticks = (qint64(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return wholeSeconds(QDateTime::fromMSecsSinceEpoch((ticks - 116444736000000000LL) / 10000, Qt::UTC).toLocalTime());
}

// The file-error code (InOutCode) of a system error; outro for an error the
// program has no code of its own for.
inline int codigoDoSistema(DWORD err, int outro)
{
    switch (err) {
    case ERROR_FILE_NOT_FOUND: return ioFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_DIRECTORY:
    case ERROR_FILENAME_EXCED_RANGE: return ioPathNotFound;
    case ERROR_TOO_MANY_OPEN_FILES: return ioTooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT: return ioAccessDenied;
    case ERROR_INVALID_HANDLE: return ioInvalidHandle;
    case ERROR_SHARING_VIOLATION: return ioSharingViolation;
    case ERROR_LOCK_VIOLATION: return ioLockViolation;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ioDiskFull;
    default: return outro;
    }
}

} // namespace winfs
