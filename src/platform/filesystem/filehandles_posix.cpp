// The file handles' host side on a POSIX host: descriptors, with
// open-file-description locks standing in for Windows share modes.
#include "platform/filesystem/winfs.h"
#include "platform/filesystem/winfs_host.h"
#include "platform/runtime/errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace winfs::host {

namespace {

// File-error code of an errno met while opening hostName.
int openCode(int err, const QByteArray &hostName, bool creating)
{
    switch (err) {
    case ENOENT: {
        if (creating)
            return ioPathNotFound;
        // A missing file in an existing folder, or a missing folder.
        const qsizetype slash = hostName.lastIndexOf('/');
        struct stat st;
        const QByteArray dir = slash <= 0 ? QByteArray("/") : hostName.left(slash);
        return ::stat(dir.constData(), &st) == 0 && S_ISDIR(st.st_mode) ? ioFileNotFound : ioPathNotFound;
    }
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return ioPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ENXIO:
    case ENODEV:
        return ioAccessDenied;
    case ETXTBSY:
    case EAGAIN:
        return ioSharingViolation;
    case EMFILE:
    case ENFILE:
        return ioTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
        return ioDiskFull;
    default:
        return creating ? ioWriteFault : ioReadFault;
    }
}

int readCode(int err)
{
    switch (err) {
    case EBADF: return ioInvalidHandle;
    case EISDIR:
    case EACCES:
    case EPERM: return ioAccessDenied;
    default: return ioReadFault;
    }
}

int writeCode(int err)
{
    switch (err) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return ioDiskFull;
    case EBADF: return ioInvalidHandle;
    case EACCES:
    case EPERM:
    case EROFS: return ioAccessDenied;
    default: return ioWriteFault;
    }
}

// Takes a lock on the whole file for this open file description. Only a lock
// held by someone else refuses; a file system without locks is not refused.
bool lockWholeFile(int fd, short type)
{
    struct flock lk;
    std::memset(&lk, 0, sizeof lk);
    lk.l_type = type;
    lk.l_whence = SEEK_SET;
    lk.l_start = 0;
    lk.l_len = 0;
    if (::fcntl(fd, F_OFD_SETLK, &lk) == 0)
        return true;
    return errno != EAGAIN && errno != EACCES;
}

int closeFd(int fd)
{
    // After EINTR the descriptor is gone on Linux: never close it twice.
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

QByteArray hostBytes(const QString &windowsName)
{
    return QFile::encodeName(hostPath(windowsName));
}

} // namespace

int openForReading(const QString &windowsName, Handle &handle)
{
    const QByteArray host = hostBytes(windowsName);
    // Non-blocking, so that a FIFO is refused instead of waited on.
    const int fd = ::open(host.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return openCode(errno, host, false);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        closeFd(fd);
        return ioAccessDenied;
    }
    if (!lockWholeFile(fd, F_RDLCK)) {
        closeFd(fd);
        return ioSharingViolation;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    handle = fd;
    return 0;
}

int read(Handle handle, void *data, qint64 count, qint64 &got)
{
    ssize_t n;
    do
        n = ::read(int(handle), data, size_t(count));
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return readCode(errno);
    got = n;
    return 0;
}

qint64 size(Handle handle)
{
    struct stat st;
    return ::fstat(int(handle), &st) == 0 ? qint64(st.st_size) : -1;
}

QDateTime modified(Handle handle)
{
    struct stat st;
    if (::fstat(int(handle), &st) != 0)
        return {};
    const QDateTime t = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    return QDateTime(t.date(), t.time());
}

int openForWriting(const QString &windowsName, Handle &handle)
{
    const QByteArray host = hostBytes(windowsName);
    // Not truncated on opening: a file that another handle holds stays whole.
    const int fd = ::open(host.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return openCode(errno, host, true);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISCHR(st.st_mode))) {
        closeFd(fd);
        return ioAccessDenied;
    }
    if (S_ISREG(st.st_mode)) {
        if (!lockWholeFile(fd, F_WRLCK)) {
            closeFd(fd);
            return ioSharingViolation;
        }
        if (::ftruncate(fd, 0) != 0) {
            const int code = writeCode(errno);
            closeFd(fd);
            return code;
        }
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    handle = fd;
    return 0;
}

int write(Handle handle, const char *data, qint64 count, qint64 &written)
{
    ssize_t n;
    do
        n = ::write(int(handle), data, size_t(count));
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return writeCode(errno);
    if (n == 0)
        return ioWriteFault;
    written = n;
    return 0;
}

int flush(Handle handle)
{
    // Devices such as Z:\dev\null cannot be synced and need not be.
    if (::fsync(int(handle)) != 0 && errno != EINVAL && errno != EROFS)
        return writeCode(errno);
    return 0;
}

int close(Handle handle, bool writing)
{
    const int err = closeFd(int(handle)); // a lock goes with its descriptor
    if (err == 0)
        return 0;
    return writing ? writeCode(err) : readCode(err);
}

} // namespace winfs::host
