#include "platform/filesystem/filehandles.h"
#include "platform/filesystem/winfs.h"
#include "platform/filesystem/winfs_host.h"
#include "platform/runtime/errors.h"

#include <cstring>

namespace winfs {

namespace {

int failed(int code)
{
    SetInOutRes(code);
    return code;
}

// The sink of a file: the host's handle, written and flushed to disk.
class HandleSink : public ByteSink {
public:
    explicit HandleSink(host::Handle handle) : handle_(handle) {}
    ~HandleSink() override
    {
        if (handle_ != host::NoHandle)
            host::close(handle_, true);
    }
    int write(const char *data, qint64 count) override
    {
        while (count > 0) {
            qint64 written = 0;
            if (const int code = host::write(handle_, data, count, written))
                return code;
            data += written;
            count -= written;
        }
        return 0;
    }
    int sync() override { return host::flush(handle_); }
    int close() override
    {
        const int code = host::close(handle_, true);
        handle_ = host::NoHandle;
        return code;
    }

private:
    host::Handle handle_;
};

} // namespace

// ---------------------------------------------------------------- reader

FileReader::FileReader() = default;

FileReader::~FileReader()
{
    if (handle_ != host::NoHandle)
        host::close(handle_, false);
}

int FileReader::open(const QString &windowsName)
{
    if (handle_ != host::NoHandle)
        close();
    host::Handle h = host::NoHandle;
    if (const int code = host::openForReading(windowsName, h))
        return failed(code);
    if (!buffer_)
        buffer_.reset(new unsigned char[FileBufferSize]);
    handle_ = h;
    next_ = end_ = buffer_.get();
    return 0;
}

int FileReader::fill(unsigned char &byte, bool take)
{
    if (handle_ == host::NoHandle)
        return failed(ioFileNotOpen);
    qint64 n = 0;
    if (const int code = host::read(handle_, buffer_.get(), FileBufferSize, n))
        return failed(code);
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
    if (handle_ == host::NoHandle)
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
        qint64 n = 0;
        if (const int code = host::read(handle_, out + got, count - got, n)) {
            if (got > 0)
                break; // the bytes that came count; the error comes with the next read
            return failed(code);
        }
        if (n == 0)
            break;
        got += n;
    }
    return got > 0 ? 0 : ioEndOfFile;
}

qint64 FileReader::size() const
{
    return handle_ != host::NoHandle ? host::size(handle_) : -1;
}

QDateTime FileReader::fileAge() const
{
    return handle_ != host::NoHandle ? host::modified(handle_) : QDateTime();
}

int FileReader::close()
{
    if (handle_ == host::NoHandle)
        return failed(ioFileNotOpen);
    const int code = host::close(handle_, false); // the share mode goes with the handle
    handle_ = host::NoHandle;
    next_ = end_ = nullptr;
    return code ? failed(code) : 0;
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
    host::Handle h = host::NoHandle;
    if (const int code = host::openForWriting(windowsName, h))
        return failed(code);
    open(std::make_unique<HandleSink>(h));
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
