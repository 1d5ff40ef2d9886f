#pragma once
// Runtime error classes. Each carries the exact message the user sees; the
// default error handler of platform/windowing shows it.
#include <QList>
#include <QString>
#include <QByteArray>
#include <exception>

class Exception : public std::exception {
public:
    explicit Exception(QString message);
    const QString &message() const { return message_; }
    const char *what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// Silent abort: ends the operation in progress; the default handler shows nothing.
class EAbort : public Exception {
public:
    EAbort() : Exception(QStringLiteral("Operation aborted")) {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};

class EDatabaseError : public Exception {
    using Exception::Exception;
};

// An error of the table engine: a list of (code, message) pairs, the first one
// being the main error. The message of the exception is the engine's text.
class EDBEngineError : public EDatabaseError {
public:
    struct Entry {
        int errorCode;
        QString message;
    };
    EDBEngineError(int code, const QString &message);
    int errorCount() const { return int(errors_.size()); }
    const Entry &errors(int i) const { return errors_.at(i); }

private:
    QList<Entry> errors_;
};

// Error code of a key violation (the record's key already exists).
constexpr int DBIERR_KEYVIOL = 0x2601;

// File-error codes of the runtime: Windows codes for opening and sharing,
// the runtime's own from 100 on.
enum InOutCode {
    ioOk = 0,
    ioFileNotFound = 2,
    ioPathNotFound = 3,
    ioTooManyOpenFiles = 4,
    ioAccessDenied = 5,
    ioInvalidHandle = 6,
    ioSharingViolation = 32,
    ioLockViolation = 33,
    ioWriteFault = 29,
    ioReadFault = 30,
    ioEndOfFile = 100,    // a read found the end of the file
    ioDiskFull = 101,
    ioFileNotOpen = 103,
};

// The runtime's text for a file-error code: "File not found", "Path not
// found", "File access denied", "Disk full", otherwise "I/O error <code>".
QString inOutErrorMessage(int code);

class EInOutError : public Exception {
public:
    EInOutError(int code, const QString &message) : Exception(message), errorCode(code) {}
    explicit EInOutError(int code) : EInOutError(code, inOutErrorMessage(code)) {}
    int errorCode;
};

// The pending file-error code: the file handles that report codes instead of
// raising leave the code of their last failure here until it is read.
// IOResult returns it and clears it (0 when nothing failed since the last call).
int IOResult();
void SetInOutRes(int code);

class EStreamError : public Exception {
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const QString &fileName);
};

class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const QString &fileName);
};

// A file that cannot be moved ("Cannot move file %s").
class EFCantMove : public EStreamError {
public:
    using EStreamError::EStreamError;
};
