#include "SQLiteDriver.h"

#include "DriverParams.h"
#include "Exceptions.h"
#include "SQLiteCursor.h"
#include "SQLiteDatabase.h"
#include "TKeptStatement.h"

#include <QFile>
#include <chrono>
#include <thread>

namespace
{

constexpr int LockWaitMilliseconds = 10 * 60 * 1000;
constexpr int LockPollMilliseconds = 5;

// SQLite's own busy timeout sleeps where nothing can wake it; this one looks
// for a cancel between short sleeps.
int WaitForLock(void* data, int attempt)
{
    const auto& database = *static_cast<const SQLiteDatabase*>(data);
    if (database.Cancelled || attempt * LockPollMilliseconds >= database.LockWaitMilliseconds)
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(LockPollMilliseconds));
    return 1;
}

class SQLiteConnection final : public TSQLDriverConnection
{
public:
    explicit SQLiteConnection(std::shared_ptr<const SQLiteDatabase> database)
        : FDatabase(std::move(database))
    {
    }

    std::unique_ptr<TSQLCursor> Open(const QString& sql,
                                     const QList<TSQLParamValue>& params) override
    {
        return OpenBatches(sql, {params});
    }

    std::unique_ptr<TSQLCursor> OpenBatches(const QString& sql,
                                            const TSQLParamBatches& batches) override
    {
        FDatabase->Cancelled = false;
        return std::make_unique<SQLiteCursor>(
            std::make_unique<SQLiteStatement>(FDatabase, sql, batches.value(0)), batches.mid(1));
    }

    int Execute(const QString& sql, const QList<TSQLParamValue>& params, TRowCount count) override
    {
        FDatabase->Cancelled = false;
        if (!FKept.On()) {
            SQLiteStatement statement(FDatabase, sql, params);
            return Run(statement, count);
        }
        int changed = 0;
        FKept.Run(
            sql, [&] { return std::make_unique<SQLiteStatement>(FDatabase, sql, params); },
            [&](SQLiteStatement& statement, bool fresh) {
                if (!fresh) statement.Bind(params);
                changed = Run(statement, count);
            });
        return changed;
    }

    void SetReuseStatements(bool value) override { FKept.SetOn(value); }

    void Cancel() override
    {
        FDatabase->Cancelled = true;
        FDatabase->Api->sqlite3_interrupt(FDatabase->Db);
    }

private:
    // sqlite3_changes() keeps the count of the last INSERT, UPDATE or DELETE
    // through other statements, so it counts only when this one changed the
    // total.
    int Run(SQLiteStatement& statement, TRowCount count)
    {
        const SQLiteApi& api = *FDatabase->Api;
        const int before = api.sqlite3_total_changes(FDatabase->Db);
        while (statement.Step())
            ;
        if (count == TRowCount::Uncounted) return -1;
        return api.sqlite3_total_changes(FDatabase->Db) == before
                   ? 0
                   : api.sqlite3_changes(FDatabase->Db);
    }

    std::shared_ptr<const SQLiteDatabase> FDatabase;
    TKeptStatement<SQLiteStatement> FKept;
};

} // namespace

void SQLiteDriver::Load(const QString& vendorLib, const QString& getDriverFunc)
{
    FApi = SQLiteApi::Load(vendorLib, getDriverFunc);
}

std::unique_ptr<TSQLDriverConnection> SQLiteDriver::Connect(const QMap<QString, QString>& params)
{
    const QString path = DriverParam(params, QLatin1String("Database")).trimmed();
    if (path.isEmpty()) throw EDatabaseError(QStringLiteral("Missing Database property"));
    auto database = std::make_shared<SQLiteDatabase>();
    database->Api = FApi;
    auto charSet = CharSetCodec::ForName(DriverParam(params, QLatin1String("ServerCharSet")));
    if (!charSet->IsUtf8()) database->CharSet = std::move(charSet);

    // An existing file only: a mistyped path must not make an empty database.
    const int rc = FApi->sqlite3_open_v2(QFile::encodeName(path).constData(), &database->Db,
                                         SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        const QString message = database->Db ? QString::fromUtf8(FApi->sqlite3_errmsg(database->Db))
                                             : QStringLiteral("out of memory");
        throw ESQLError(QStringLiteral("%1: %2").arg(message, path), rc);
    }
    for (const char* pragma : {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = FULL",
                               "PRAGMA case_sensitive_like = ON"})
        if (FApi->sqlite3_exec(database->Db, pragma, nullptr, nullptr, nullptr) != SQLITE_OK)
            database->Fail();
    if (DriverParamIsTrue(params, QLatin1String("WaitOnLocks"))) {
        database->LockWaitMilliseconds = LockWaitMilliseconds;
        FApi->sqlite3_busy_handler(database->Db, &WaitForLock, database.get());
    }
    return std::make_unique<SQLiteConnection>(std::move(database));
}
