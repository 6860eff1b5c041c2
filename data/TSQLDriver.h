#pragma once

#include "TFieldType.h"

#include <QByteArrayView>
#include <QList>
#include <QMap>
#include <QString>
#include <memory>
#include <optional>

// The small driver interface between the data layer and a database engine.
// Nothing outside data/ knows which engine runs. Errors are thrown as
// ESQLError (engine text) or EDatabaseError (the layer's own messages).

struct TSQLColumn {
    QString Name; // as the engine reports it (upper case on Firebird)
    TFieldType DataType = TFieldType::ftUnknown;
    int Size = 0; // declared size of text columns, in the connection's bytes
};

// A parameter value: always text, or null. The driver converts the text to
// the type the statement describes for that parameter, strictly.
using TSQLParamValue = std::optional<QString>;

// Values for the '?' of one SELECT, a list per run: the statement is prepared
// once and run once per list, and the rows of every run make one result.
using TSQLParamBatches = QList<QList<TSQLParamValue>>;

// The rows of one SELECT. The statement's transaction ends once Next() has
// returned false or the cursor is destroyed.
class TSQLCursor
{
public:
    virtual ~TSQLCursor() = default;

    virtual int ColumnCount() const = 0;
    virtual const TSQLColumn& Column(int index) const = 0;

    // Fetches the next row; false past the last one. Values of the previous
    // row are no longer valid afterwards.
    virtual bool Next() = 0;

    // Value access for the current row; the getter must match Column().DataType.
    virtual bool IsNull(int index) const = 0;
    virtual qint32 GetInteger(int index) const = 0;
    virtual double GetFloat(int index) const = 0;
    // Text as UTF-8, valid until the next call of Next().
    virtual QByteArrayView GetText(int index) const = 0;
};

// Whether a run tells the rows it changed: on a server, asking costs a round
// trip of its own.
enum class TRowCount { Counted, Uncounted };

// One open connection to one database. Every statement commits on its own.
class TSQLDriverConnection
{
public:
    virtual ~TSQLDriverConnection() = default;

    // Runs a SELECT with '?' placeholders and returns its rows.
    virtual std::unique_ptr<TSQLCursor> Open(const QString& sql,
                                             const QList<TSQLParamValue>& params) = 0;
    // Prepares a SELECT once and runs it for each batch in turn; the cursor
    // hands out the rows of one run after the other. A run that fails throws
    // from Next() (from this call for the first one). No batch at all: one
    // run without values.
    virtual std::unique_ptr<TSQLCursor> OpenBatches(const QString& sql,
                                                    const TSQLParamBatches& batches) = 0;
    // Prepares and runs a statement with '?' placeholders, then commits.
    // Returns the rows it inserted, updated or deleted (not those of
    // triggers); 0 for any other statement; -1 uncounted.
    virtual int Execute(const QString& sql, const QList<TSQLParamValue>& params,
                        TRowCount count) = 0;

    // While on, Execute keeps its last statement prepared and runs it again
    // for the same text, each run still committed on its own. Off lets it go:
    // a prepared statement may keep other clients from changing the
    // structure of the tables it names, so reuse lasts one batch.
    virtual void SetReuseStatements(bool value) = 0;

    // Makes the statement under way fail at once: one that waits for
    // another client's lock gives up, and its row stays as it was. Any
    // thread may call it while the connection's own thread runs a statement;
    // with no statement under way it does nothing.
    virtual void Cancel() = 0;
};

// A driver as named by LibraryName in the drivers file ("firebird", "sqlite").
class TSQLDriver
{
public:
    virtual ~TSQLDriver() = default;

    // Loads VendorLib and checks that GetDriverFunc resolves in it; fails with
    // "Unable to Load %s" / "Unable to Find Procedure %s".
    virtual void Load(const QString& vendorLib, const QString& getDriverFunc) = 0;

    // Connects with the connection's whole parameter list (Database,
    // User_Name, Password, ServerCharSet, WaitOnLocks, ...).
    virtual std::unique_ptr<TSQLDriverConnection> Connect(const QMap<QString, QString>& params) = 0;
};

// The program's own drivers by LibraryName; null for an unknown name.
std::unique_ptr<TSQLDriver> CreateSQLDriver(const QString& libraryName);
