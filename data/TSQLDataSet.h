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
    void SetCommandText(const QString& value) { FCommandText = value; }

    // Runs CommandText on the connection, connecting it when closed. Fails
    // with "Missing SQLConnection property" or "No SQL statement available"
    // (prefixed with the dataset's name), or with the database's error.
    std::unique_ptr<TSQLCursor> OpenCursor();

private:
    QPointer<TSQLConnection> FConnection;
    QString FCommandText;
};
