#pragma once

#include <QObject>
#include <QString>

// A message prefixed with its component's name, as "SQLQuery1: ..."; the
// message alone for a component without a name.
QString ComponentMessage(const QObject* component, const QString& message);
