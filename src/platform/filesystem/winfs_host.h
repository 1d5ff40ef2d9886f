#pragma once
// Inside platform/filesystem: the pieces winfs.cpp and filehandles.cpp share
// with the host's own files (winfs_posix.cpp and winfs_win.cpp,
// filehandles_posix.cpp and filehandles_win.cpp; CMake takes the pair of the
// host). No host header is named here.
#include <QDateTime>
#include <QString>
#include <cstdint>

namespace winfs {

inline const QChar BS = QLatin1Char('\\');

bool isDriveLetter(QChar c);
bool hasDrive(const QString &p);
// A stamp cut to whole seconds, in local time.
QDateTime wholeSeconds(const QDateTime &t);

namespace host {
// Where the user's data lives when no prefix is given (the program keeps
// the engine's configuration there, and on POSIX its drive C:).
QString userDataDir();
} // namespace host

// The host's side of the file handles: a host file handle as an integer,
// NoHandle when none. Every step gives 0 or a file-error code (InOutCode).
namespace host {

using Handle = std::intptr_t;
constexpr Handle NoHandle = -1;

// Opens a regular file for reading, sharing it with readers only (a file
// being written is refused with 32; a folder, FIFO or device with 5).
int openForReading(const QString &windowsName, Handle &handle);
// Up to count bytes; got 0 at the end of the file.
int read(Handle handle, void *data, qint64 count, qint64 &got);
qint64 size(Handle handle);
QDateTime modified(Handle handle); // local time, whole seconds
// Creates the file or empties an existing one without sharing it with
// readers or writers (32 when another handle holds it); character devices
// are opened for writing as they are. Another name may be given to the
// file while it is open.
int openForWriting(const QString &windowsName, Handle &handle);
// Writes some of count bytes (at least one): written tells how many.
int write(Handle handle, const char *data, qint64 count, qint64 &written);
int flush(Handle handle); // to disk
int close(Handle handle, bool writing);

} // namespace host
} // namespace winfs
