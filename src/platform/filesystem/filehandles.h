#pragma once
// File handles over Windows paths: a byte reader that keeps writers out, a
// buffered writer, and 8-bit text files read and written line by line.
//
// Share modes. A reader denies writes by others, a writer denies reading and
// writing: a file that a writer of ours (or another program) holds is not
// opened for reading, and a file being read is not opened for writing.
// Windows has these modes; on a POSIX host open-file-description locks stand
// in for them (a reader holds a read lock on the whole file, a writer a write
// lock). The host's side is in filehandles_posix.cpp and filehandles_win.cpp.
//
// Codes. FileReader and FileWriter never raise: every step gives 0 or a
// file-error code (InOutCode in platform/runtime/errors.h) and a failure is
// also left pending for IOResult(). The text files raise EInOutError.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>

namespace winfs {

// Size of the buffer of every handle.
constexpr qint64 FileBufferSize = 128 * 1024;

class FileReader {
public:
    FileReader();
    ~FileReader();
    FileReader(const FileReader &) = delete;
    FileReader &operator=(const FileReader &) = delete;

    // Opens a regular file for reading, allowing other readers but no
    // writers. Gives 0, or: 2 no such file, 3 no such folder, 5 a folder,
    // FIFO or device (never waited on), 32 the file is being written.
    int open(const QString &windowsName);
    bool isOpen() const { return handle_ != -1; }

    // The next byte: 0 when one was read, 100 at the end of the file, 103
    // when the reader is not open, another code on a read error. Costs a
    // compare and a load while the buffer holds bytes.
    int readByte(unsigned char &byte)
    {
        if (next_ != end_) [[likely]] {
            byte = *next_++;
            return 0;
        }
        return fill(byte, true);
    }
    // The next byte without taking it; the same codes.
    int peekByte(unsigned char &byte)
    {
        if (next_ != end_) [[likely]] {
            byte = *next_;
            return 0;
        }
        return fill(byte, false);
    }
    // Up to count bytes into data; got tells how many came. 0 when at least
    // one byte came (or count is 0), 100 at the end of the file, else an error.
    int read(void *data, qint64 count, qint64 &got);

    // Of the open file: its size in bytes (-1 when not open) and its
    // last-modification stamp in local time, whole seconds (invalid when not open).
    qint64 size() const;
    QDateTime fileAge() const;

    // 0, or 103 when nothing was open.
    int close();

private:
    int fill(unsigned char &byte, bool take);

    std::intptr_t handle_ = -1; // the host's handle
    const unsigned char *next_ = nullptr;
    const unsigned char *end_ = nullptr;
    std::unique_ptr<unsigned char[]> buffer_;
};

// Where a writer's bytes go. The writer hands over its buffer in blocks;
// each call gives 0 or a file-error code. Files have their own sink; tests
// put one in place that fails.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Writes all count bytes, or gives an error code.
    virtual int write(const char *data, qint64 count) = 0;
    // Makes what was written durable.
    virtual int sync() { return 0; }
    virtual int close() { return 0; }
};

class FileWriter {
public:
    FileWriter();
    ~FileWriter(); // closes; call close() to learn the code
    FileWriter(const FileWriter &) = delete;
    FileWriter &operator=(const FileWriter &) = delete;

    // Creates the file, or empties an existing one, with no sharing. Gives
    // 0, or: 3 no such folder (or a path under a regular file), 5 a folder,
    // FIFO or other special file (character devices such as Z:\dev\null are
    // written), 32 the file is open in another handle.
    int create(const QString &windowsName);
    // Writes into sink instead of a file.
    void open(std::unique_ptr<ByteSink> sink);
    bool isOpen() const { return bool(sink_); }

    int writeByte(unsigned char byte)
    {
        if (next_ != limit_) [[likely]] {
            *next_++ = byte;
            return 0;
        }
        return write(&byte, 1);
    }
    // Gives 0 or the error code. Bytes wait in the buffer: a failure may come
    // out of a later write, flush or close. Once a step failed, every later
    // step gives the same code and writes nothing (103 when not open).
    int write(const void *data, qint64 count);
    int write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // The buffer to the file and the file to disk.
    int flush();
    // Flushes and closes: 0 only when every byte reached the disk.
    int close();
    // The first failure of this handle, 0 while there is none.
    int error() const { return error_; }

private:
    int drain();
    int fail(int code);

    std::unique_ptr<ByteSink> sink_;
    std::unique_ptr<unsigned char[]> buffer_;
    unsigned char *next_ = nullptr;
    unsigned char *limit_ = nullptr;
    int error_ = 0;
};

// 8-bit text (Windows-1252) read line by line. CR LF, a lone LF and a lone
// CR each end a line; a byte 26 ends the text. A line end at the end of the
// file opens no further line. Failures raise EInOutError with the runtime's
// message ("File not found", "Path not found", "File access denied", ...);
// anything but a regular file is refused with code 5.
class TextFileReader {
public:
    TextFileReader() = default;
    explicit TextFileReader(const QString &windowsName) { open(windowsName); }
    void open(const QString &windowsName);
    // True when no line is left.
    bool eof();
    // The next line without its line end; empty text when no line is left.
    QString readLine();
    void close();

private:
    [[noreturn]] void raise(int code);

    FileReader file_;
    bool ended_ = false;
    QByteArray line_;
};

// Every line of an 8-bit text file.
QStringList readTextFile(const QString &windowsName);

// 8-bit text written with a CR LF after every line. Failures raise
// EInOutError ("Disk full", "Path not found", ...); close() reports
// whatever the buffer still held.
class TextFileWriter {
public:
    TextFileWriter() = default;
    explicit TextFileWriter(const QString &windowsName) { rewrite(windowsName); }
    // Creates the file or empties it.
    void rewrite(const QString &windowsName);
    void write(const QString &text);
    void writeLine(const QString &line = QString());
    // Flushes to disk and closes.
    void close();

private:
    void check(int code);

    FileWriter file_;
};

// Replaces a file with these lines.
void writeTextFile(const QString &windowsName, const QStringList &lines);

} // namespace winfs
