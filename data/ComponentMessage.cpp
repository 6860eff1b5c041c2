#include "ComponentMessage.h"

QString ComponentMessage(const QObject* component, const QString& message)
{
    const QString name = component ? component->objectName() : QString();
    return name.isEmpty() ? message : name + QStringLiteral(": ") + message;
}
