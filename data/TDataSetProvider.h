#pragma once

#include "TSQLDataSet.h"
#include "TSQLDriver.h"
#include "TSet.h"

#include <QObject>
#include <QPointer>

enum class TProviderOption { poAllowCommandText };
using TProviderOptions = TSet<TProviderOption>;

// Hands the rows of its SQL dataset to a client dataset.
class TDataSetProvider : public QObject
{
    Q_OBJECT

public:
    explicit TDataSetProvider(QObject* owner = nullptr);

    TSQLDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TSQLDataSet* value) { FDataSet = value; }
    TProviderOptions Options() const { return FOptions; }
    void SetOptions(TProviderOptions value) { FOptions = value; }

    // Opens the dataset's rows. A non-empty commandText first replaces the
    // dataset's statement and its parameter batches with paramBatches (with
    // poAllowCommandText; without it the call fails with "CommandText changes
    // are not allowed"); an empty one keeps the statement it had, batches
    // included. Fails with "Missing DataSet property" without a dataset (both
    // prefixed with the provider's name).
    std::unique_ptr<TSQLCursor> OpenCursor(const QString& commandText,
                                           const TSQLParamBatches& paramBatches = {});

private:
    QPointer<TSQLDataSet> FDataSet;
    TProviderOptions FOptions;
};
