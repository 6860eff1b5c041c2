#include "ESQLParamError.h"

ESQLParamError::ESQLParamError(int index, QString reason)
    : ESQLParamError(
          index, reason,
          QStringLiteral("Invalid value for parameter %1: %2").arg(index + 1).arg(reason))
{
}

ESQLParamError::ESQLParamError(int index, QString reason, QString message)
    : EDatabaseError(std::move(message)), FIndex(index), FReason(std::move(reason))
{
}

ESQLParamError ESQLParamError::WithName(const QString& prefix, const QString& name) const
{
    return ESQLParamError(
        FIndex, FReason,
        prefix + QStringLiteral("Invalid value for parameter '%1': %2").arg(name, FReason));
}
