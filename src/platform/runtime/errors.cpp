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
