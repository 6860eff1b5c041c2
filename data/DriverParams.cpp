#include "DriverParams.h"

QString DriverParam(const QMap<QString, QString>& params, QLatin1String key)
{
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        if (it.key().compare(key, Qt::CaseInsensitive) == 0) return it.value();
    return QString();
}

bool DriverParamIsTrue(const QMap<QString, QString>& params, QLatin1String key)
{
    return DriverParam(params, key).trimmed().compare(QLatin1String("True"), Qt::CaseInsensitive) ==
           0;
}
