#include "platform/runtime/errors.h"

Exception::Exception(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}

EDBEngineError::EDBEngineError(int code, const QString &message) : EDatabaseError(message)
{
    errors_.append({code, message});
}

EFOpenError::EFOpenError(const QString &fileName)
    : EStreamError(QStringLiteral("Cannot open file %1").arg(fileName)) {}

EFCreateError::EFCreateError(const QString &fileName)
    : EStreamError(QStringLiteral("Cannot create file %1").arg(fileName)) {}

QString inOutErrorMessage(int code)
{
    switch (code) {
    case ioFileNotFound: return QStringLiteral("File not found");
    case ioPathNotFound: return QStringLiteral("Path not found");
    case ioAccessDenied: return QStringLiteral("File access denied");
    case ioDiskFull: return QStringLiteral("Disk full");
    default: return QStringLiteral("I/O error %1").arg(code);
    }
}

namespace {
thread_local int pendingInOutCode = 0;
} // namespace

int IOResult()
{
    const int code = pendingInOutCode;
    pendingInOutCode = 0;
    return code;
}

void SetInOutRes(int code)
{
    pendingInOutCode = code;
}
