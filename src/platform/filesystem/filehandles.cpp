#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/runtime/errors.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace winfs {

namespace {

int failed(int code)
{
    SetInOutRes(code);
    return code;
}

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

// The sink of a file: a descriptor written with write(2) and synced with fsync(2).
class FdSink : public ByteSink {
public:
    explicit FdSink(int fd) : fd_(fd) {}
    ~FdSink() override
    {
        if (fd_ >= 0)
            closeFd(fd_);
    }
    int write(const char *data, qint64 count) override
    {
        while (count > 0) {
            const ssize_t n = ::write(fd_, data, size_t(count));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                return writeCode(errno);
            }
            if (n == 0)
                return ioWriteFault;
            data += n;
            count -= n;
        }
        return 0;
    }
    int sync() override
    {
        // Devices such as Z:\dev\null cannot be synced and need not be.
        if (::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
            return writeCode(errno);
        return 0;
    }
    int close() override
    {
        const int err = closeFd(fd_);
        fd_ = -1;
        return err == 0 ? 0 : writeCode(err);
    }

private:
    int fd_;
};

} // namespace

// ---------------------------------------------------------------- reader

FileReader::FileReader() = default;

FileReader::~FileReader()
{
    if (fd_ >= 0)
        closeFd(fd_);
}

int FileReader::open(const QString &windowsName)
{
    if (fd_ >= 0)
        close();
    const QByteArray host = hostBytes(windowsName);
    // Non-blocking, so that a FIFO is refused instead of waited on.
    const int fd = ::open(host.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed(openCode(errno, host, false));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        closeFd(fd);
        return failed(ioAccessDenied);
    }
    if (!lockWholeFile(fd, F_RDLCK)) {
        closeFd(fd);
        return failed(ioSharingViolation);
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    if (!buffer_)
        buffer_.reset(new unsigned char[FileBufferSize]);
    fd_ = fd;
    next_ = end_ = buffer_.get();
    return 0;
}

int FileReader::fill(unsigned char &byte, bool take)
{
    if (fd_ < 0)
        return failed(ioFileNotOpen);
    ssize_t n;
    do
        n = ::read(fd_, buffer_.get(), size_t(FileBufferSize));
    while (n < 0 && errno == EINTR);
    if (n < 0)
        return failed(readCode(errno));
    next_ = end_ = buffer_.get() + n;
    if (n == 0)
        return ioEndOfFile;
    next_ = buffer_.get();
    byte = take ? *next_++ : *next_;
    return 0;
}

int FileReader::read(void *data, qint64 count, qint64 &got)
{
    got = 0;
    if (fd_ < 0)
        return failed(ioFileNotOpen);
    if (count <= 0)
        return 0;
    auto *out = static_cast<unsigned char *>(data);
    // What the buffer holds first, then straight from the file.
    const qint64 held = std::min<qint64>(count, end_ - next_);
    std::memcpy(out, next_, size_t(held));
    next_ += held;
    got = held;
    while (got < count) {
        const ssize_t n = ::read(fd_, out + got, size_t(count - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (got > 0)
                break; // the bytes that came count; the error comes with the next read
            return failed(readCode(errno));
        }
        if (n == 0)
            break;
        got += n;
    }
    return got > 0 ? 0 : ioEndOfFile;
}

qint64 FileReader::size() const
{
    struct stat st;
    return fd_ >= 0 && ::fstat(fd_, &st) == 0 ? qint64(st.st_size) : -1;
}

QDateTime FileReader::fileAge() const
{
    struct stat st;
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return {};
    const QDateTime t = QDateTime::fromSecsSinceEpoch(st.st_mtim.tv_sec);
    return QDateTime(t.date(), t.time());
}

int FileReader::close()
{
    if (fd_ < 0)
        return failed(ioFileNotOpen);
    const int err = closeFd(fd_); // the lock goes with the descriptor
    fd_ = -1;
    next_ = end_ = nullptr;
    return err == 0 ? 0 : failed(readCode(err));
}

// ---------------------------------------------------------------- writer

FileWriter::FileWriter() = default;

FileWriter::~FileWriter()
{
    if (sink_) {
        // Nobody reads the code of this close: it does not become pending.
        const int pending = IOResult();
        close();
        SetInOutRes(pending);
    }
}

int FileWriter::create(const QString &windowsName)
{
    if (sink_)
        close();
    error_ = 0;
    const QByteArray host = hostBytes(windowsName);
    // Not truncated on opening: a file that another handle holds stays whole.
    const int fd = ::open(host.constData(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return failed(openCode(errno, host, true));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !(S_ISREG(st.st_mode) || S_ISCHR(st.st_mode))) {
        closeFd(fd);
        return failed(ioAccessDenied);
    }
    if (S_ISREG(st.st_mode)) {
        if (!lockWholeFile(fd, F_WRLCK)) {
            closeFd(fd);
            return failed(ioSharingViolation);
        }
        if (::ftruncate(fd, 0) != 0) {
            const int code = writeCode(errno);
            closeFd(fd);
            return failed(code);
        }
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    open(std::make_unique<FdSink>(fd));
    return 0;
}

void FileWriter::open(std::unique_ptr<ByteSink> sink)
{
    if (sink_)
        close();
    sink_ = std::move(sink);
    error_ = 0;
    if (!buffer_)
        buffer_.reset(new unsigned char[FileBufferSize]);
    next_ = buffer_.get();
    limit_ = next_ + FileBufferSize;
}

int FileWriter::fail(int code)
{
    if (!error_)
        error_ = code;
    // No more bytes are taken: every later write comes here.
    next_ = limit_ = nullptr;
    return failed(error_);
}

int FileWriter::drain()
{
    const qint64 held = next_ - buffer_.get();
    if (held == 0)
        return 0;
    const int code = sink_->write(reinterpret_cast<const char *>(buffer_.get()), held);
    if (code)
        return fail(code);
    next_ = buffer_.get();
    return 0;
}

int FileWriter::write(const void *data, qint64 count)
{
    if (!sink_)
        return failed(ioFileNotOpen);
    if (error_)
        return failed(error_);
    auto *in = static_cast<const unsigned char *>(data);
    while (count > 0) {
        if (next_ == limit_) {
            if (const int code = drain())
                return code;
        }
        const qint64 room = limit_ - next_;
        if (next_ == buffer_.get() && count >= FileBufferSize) {
            // A large block goes straight to the sink.
            const int code = sink_->write(reinterpret_cast<const char *>(in), count);
            return code ? fail(code) : 0;
        }
        const qint64 n = std::min(room, count);
        std::memcpy(next_, in, size_t(n));
        next_ += n;
        in += n;
        count -= n;
    }
    return 0;
}

int FileWriter::flush()
{
    if (!sink_)
        return failed(ioFileNotOpen);
    if (error_)
        return failed(error_);
    if (const int code = drain())
        return code;
    if (const int code = sink_->sync())
        return fail(code);
    return 0;
}

int FileWriter::close()
{
    if (!sink_)
        return failed(ioFileNotOpen);
    int code = error_ ? error_ : flush();
    const int closed = sink_->close();
    if (!code && closed)
        code = closed;
    sink_.reset();
    next_ = limit_ = nullptr;
    error_ = 0;
    return code ? failed(code) : 0;
}

// ---------------------------------------------------------------- text

void TextFileReader::raise(int code)
{
    IOResult(); // a raised error is no longer pending
    throw EInOutError(code);
}

void TextFileReader::open(const QString &windowsName)
{
    ended_ = false;
    if (const int code = file_.open(windowsName))
        raise(code);
}

bool TextFileReader::eof()
{
    if (ended_)
        return true;
    unsigned char b = 0;
    const int code = file_.peekByte(b);
    if (code == ioEndOfFile || (code == 0 && b == 26))
        ended_ = true;
    else if (code)
        raise(code);
    return ended_;
}

QString TextFileReader::readLine()
{
    line_.clear();
    if (ended_)
        return QString();
    for (;;) {
        unsigned char b = 0;
        int code = file_.readByte(b);
        if (code == ioEndOfFile)
            break;
        if (code)
            raise(code);
        if (b == 26) {
            ended_ = true;
            break;
        }
        if (b == '\n')
            break;
        if (b == '\r') {
            code = file_.peekByte(b);
            if (code == 0 && b == '\n')
                file_.readByte(b);
            else if (code && code != ioEndOfFile)
                raise(code);
            break;
        }
        line_.append(char(b));
    }
    return fromWindows1252(line_);
}

void TextFileReader::close()
{
    ended_ = false;
    if (file_.isOpen())
        file_.close();
}

QStringList readTextFile(const QString &windowsName)
{
    TextFileReader f(windowsName);
    QStringList lines;
    while (!f.eof())
        lines << f.readLine();
    f.close();
    return lines;
}

void TextFileWriter::check(int code)
{
    if (code) {
        IOResult(); // a raised error is no longer pending
        throw EInOutError(code);
    }
}

void TextFileWriter::rewrite(const QString &windowsName)
{
    check(file_.create(windowsName));
}

void TextFileWriter::write(const QString &text)
{
    check(file_.write(toWindows1252(text)));
}

void TextFileWriter::writeLine(const QString &line)
{
    write(line);
    check(file_.write("\r\n", 2));
}

void TextFileWriter::close()
{
    check(file_.close());
}

void writeTextFile(const QString &windowsName, const QStringList &lines)
{
    TextFileWriter f(windowsName);
    for (const QString &line : lines)
        f.writeLine(line);
    f.close();
}

} // namespace winfs
