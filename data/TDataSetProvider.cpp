#include "TDataSetProvider.h"

#include "ComponentMessage.h"
#include "Exceptions.h"
#include "TSQLDataSet.h"

TDataSetProvider::TDataSetProvider(QObject* owner) : QObject(owner) {}

std::unique_ptr<TSQLCursor> TDataSetProvider::OpenCursor(const QString& commandText,
                                                         const TSQLParamBatches& paramBatches)
{
    if (!FDataSet)
        throw EDatabaseError(ComponentMessage(this, QStringLiteral("Missing DataSet property")));
    if (!commandText.isEmpty()) {
        if (!FOptions.Contains(TProviderOption::poAllowCommandText))
            throw EDatabaseError(
                ComponentMessage(this, QStringLiteral("CommandText changes are not allowed")));
        FDataSet->SetCommandText(commandText);
        FDataSet->SetParamBatches(paramBatches);
    }
    return FDataSet->OpenCursor();
}
