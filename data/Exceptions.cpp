#include "Exceptions.h"

Exception::Exception(QString message) : FMessage(std::move(message)), FUtf8(FMessage.toUtf8()) {}

Exception::~Exception() = default;

const char* Exception::what() const noexcept { return FUtf8.constData(); }

EAbort::EAbort() : Exception(QStringLiteral("Operation aborted")) {}

ESQLError::ESQLError(QString message, int errorCode)
    : EDatabaseError(std::move(message)), FErrorCode(errorCode)
{
}

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
