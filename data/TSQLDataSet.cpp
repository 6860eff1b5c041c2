#include "TSQLDataSet.h"

#include "ComponentMessage.h"
#include "Exceptions.h"
#include "TSQLConnection.h"

TSQLDataSet::TSQLDataSet(QObject* owner) : QObject(owner) {}

std::unique_ptr<TSQLCursor> TSQLDataSet::OpenCursor()
{
    if (!FConnection)
        throw EDatabaseError(
            ComponentMessage(this, QStringLiteral("Missing SQLConnection property")));
    if (FCommandText.trimmed().isEmpty())
        throw EDatabaseError(ComponentMessage(this, QStringLiteral("No SQL statement available")));
    return FConnection->OpenBatches(FCommandText, FParamBatches);
}
