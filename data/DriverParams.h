#pragma once

#include <QMap>
#include <QString>

// The value of a connection parameter, its key compared without regard to
// case as in the connections file; empty when absent.
QString DriverParam(const QMap<QString, QString>& params, QLatin1String key);
// True for "True" in any case: the connections file's way of saying yes.
bool DriverParamIsTrue(const QMap<QString, QString>& params, QLatin1String key);
