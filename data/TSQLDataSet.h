#pragma once

#include "TSQLConnection.h"
#include "TSQLDriver.h"

#include <QObject>
#include <QPointer>

// A SELECT on a connection; the provider opens it and hands its rows to a
// client dataset.
class TSQLDataSet : public QObject
{
    Q_OBJECT

public:
    explicit TSQLDataSet(QObject* owner = nullptr);

    TSQLConnection* SQLConnection() const { return FConnection; }
    void SetSQLConnection(TSQLConnection* value) { FConnection = value; }
    const QString& CommandText() const { return FCommandText; }
    // A new statement comes without parameter batches.
    void SetCommandText(const QString& value)
    {
        FCommandText = value;
        FParamBatches.clear();
    }
    // Values for the '?' of CommandText, a list per run (see
    // TSQLDriverConnection::OpenBatches); none: one run without values.
    const TSQLParamBatches& ParamBatches() const { return FParamBatches; }
    void SetParamBatches(const TSQLParamBatches& value) { FParamBatches = value; }

    // Runs CommandText on the connection, connecting it when closed. Fails
    // with "Missing SQLConnection property" or "No SQL statement available"
    // (prefixed with the dataset's name), or with the database's error.
    std::unique_ptr<TSQLCursor> OpenCursor();

private:
    QPointer<TSQLConnection> FConnection;
    QString FCommandText;
    TSQLParamBatches FParamBatches;
};
