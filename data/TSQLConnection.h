#pragma once

#include "TSQLDriver.h"
#include "TStringList.h"

class ESQLConnectionLost;

#include <QObject>
#include <functional>
#include <mutex>

// The program's one database connection. Its parameter list holds key=value
// lines (Database, User_Name, Password, ServerCharSet, WaitOnLocks, ...).
//
// Opening with LoadParamsOnConnect on:
// 1. the connections file is the per-user setting "Connection Registry File",
//    else "dbxconnections.ini" beside the program; the drivers file likewise
//    "Driver Registry File", else "dbxdrivers.ini";
// 2. fails with "Connection name missing" without a ConnectionName, and with
//    "Driver/Connection Registry File '%s' not found" without the file;
// 3. replaces the parameter list with the section named ConnectionName, once
//    per connection object (again after ConnectionName changes);
// 4. takes DriverName from the list, and LibraryName, VendorLib and
//    GetDriverFunc from the drivers file's section of that name.
// Then, also with LoadParamsOnConnect off, it fails with "Missing DriverName
// property", "DLL/Shared Library Name not Set", "Missing Database property",
// "Unable to Load %s" or "Unable to Find Procedure %s", or connects.
//
// The per-user settings are QSettings of organisation "MassAmend" and
// application "SQLDriver" (on Linux ~/.config/MassAmend/SQLDriver.conf);
// a relative file name there is taken from the program's folder.
class TSQLConnection : public QObject
{
    Q_OBJECT

public:
    explicit TSQLConnection(QObject* owner = nullptr);
    ~TSQLConnection() override;

    static QString ConnectionRegistryFile();
    static QString DriverRegistryFile();

    const QString& ConnectionName() const { return FConnectionName; }
    void SetConnectionName(const QString& value);
    const QString& DriverName() const { return FDriverName; }
    void SetDriverName(const QString& value) { FDriverName = value; }
    const QString& GetDriverFunc() const { return FGetDriverFunc; }
    void SetGetDriverFunc(const QString& value) { FGetDriverFunc = value; }
    const QString& LibraryName() const { return FLibraryName; }
    void SetLibraryName(const QString& value) { FLibraryName = value; }
    const QString& VendorLib() const { return FVendorLib; }
    void SetVendorLib(const QString& value) { FVendorLib = value; }
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool value) { FLoginPrompt = value; }
    bool LoadParamsOnConnect() const { return FLoadParamsOnConnect; }
    void SetLoadParamsOnConnect(bool value) { FLoadParamsOnConnect = value; }
    TStringList& Params() { return FParams; }
    const TStringList& Params() const { return FParams; }

    bool Connected() const { return FConnection != nullptr; }
    void SetConnected(bool value);
    void Open();
    void Close();

    // Run a statement with '?' parameters, connecting first when closed. A
    // connection found lost (a server stopped or restarted) attaches again
    // once and the statement runs, or fails with "The connection to the
    // database was lost and can't be made again: %s". Within a batch of
    // reused statements that has already run one, nothing runs again: the
    // statement fails with "The connection to the database was lost: %s", so
    // that the caller knows where the batch stopped; the next statement
    // attaches again. Execute returns the rows the statement changed (see
    // TSQLDriverConnection::Execute).
    std::unique_ptr<TSQLCursor> OpenCursor(const QString& sql, const QList<TSQLParamValue>& params);
    // One SELECT prepared once and run per batch; see TSQLDriverConnection.
    std::unique_ptr<TSQLCursor> OpenBatches(const QString& sql, const TSQLParamBatches& batches);
    int Execute(const QString& sql, const QList<TSQLParamValue>& params,
                TRowCount count = TRowCount::Counted);

    // Cancels the statement under way (see TSQLDriverConnection::Cancel):
    // the one method another thread may call while a statement runs.
    void Cancel();

    // See TSQLDriverConnection::SetReuseStatements; kept across reconnects.
    bool ReuseStatements() const { return FReuseStatements; }
    void SetReuseStatements(bool value);

    // With LoginPrompt on, called before connecting with the parameter list
    // to fill in user name and password; the data layer shows no dialog.
    std::function<void(TSQLConnection&, TStringList&)> OnLogin;

private:
    void LoadParams();
    // After a lost connection: closes it, and opens it again unless a batch
    // is under way.
    void Reattach(const ESQLConnectionLost& lost);

    QString FConnectionName;
    QString FDriverName;
    QString FGetDriverFunc;
    QString FLibraryName;
    QString FVendorLib;
    bool FLoginPrompt = true;
    bool FLoadParamsOnConnect = false;
    bool FParamsLoaded = false;
    bool FReuseStatements = false;
    // A statement of the batch under way has run.
    bool FBatchRan = false;
    TStringList FParams;
    std::unique_ptr<TSQLDriverConnection> FConnection;
    // Held while FConnection changes and while Cancel() uses it.
    std::mutex FCancelMutex;
};

// Reuse of prepared statements for one batch of like statements: on from
// construction, off again at the end of the scope, also when the batch fails.
class TStatementReuse
{
public:
    explicit TStatementReuse(TSQLConnection& connection) : FConnection(connection)
    {
        FConnection.SetReuseStatements(true);
    }
    ~TStatementReuse() { FConnection.SetReuseStatements(false); }
    TStatementReuse(const TStatementReuse&) = delete;
    TStatementReuse& operator=(const TStatementReuse&) = delete;

private:
    TSQLConnection& FConnection;
};
