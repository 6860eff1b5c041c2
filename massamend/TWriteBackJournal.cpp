#include "TWriteBackJournal.h"

#include "TIniFile.h"
#include "TSQLConnection.h"
#include "TWriteBackSnapshot.h"
#include "UserDataFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <utility>

namespace
{

// Rows per INSERT: nine values each, far below SQLite's limit of parameters.
constexpr int RowsPerInsert = 100;
constexpr int MarksPerFlush = 1000;
constexpr int FlushIntervalMs = 1000;

const char* const Schema[] = {
    "CREATE TABLE IF NOT EXISTS WRITEBACK (ID INTEGER PRIMARY KEY, STARTED TEXT NOT NULL, "
    "DATABASE_NAME TEXT NOT NULL, USER_NAME TEXT, COLUMN_NAME TEXT NOT NULL, NEW_VALUE TEXT, "
    "UNDOES INTEGER, LISTED INTEGER NOT NULL)",
    "CREATE INDEX IF NOT EXISTS WRITEBACK_DATABASE ON WRITEBACK (DATABASE_NAME, ID)",
    "CREATE INDEX IF NOT EXISTS WRITEBACK_UNDOES ON WRITEBACK (UNDOES)",
    "CREATE TABLE IF NOT EXISTS WRITEBACK_ROW (WRITEBACK_ID INTEGER NOT NULL, SEQ INTEGER NOT "
    "NULL, PROD_ID TEXT NOT NULL, FOUND INTEGER NOT NULL, BEFORE_VALUE TEXT, BEFORE_CHG_DATE "
    "TEXT, BEFORE_CHG_TIME TEXT, WRITTEN_VALUE TEXT, STATE INTEGER NOT NULL, PRIMARY KEY "
    "(WRITEBACK_ID, SEQ))",
};

const char* const EntryColumns =
    "SELECT W.ID, W.STARTED, W.DATABASE_NAME, W.USER_NAME, W.COLUMN_NAME, W.NEW_VALUE, "
    "W.UNDOES, W.LISTED, "
    "(SELECT COUNT(*) FROM WRITEBACK_ROW R WHERE R.WRITEBACK_ID = W.ID AND R.STATE = 1), "
    "(SELECT COUNT(*) FROM WRITEBACK_ROW R WHERE R.WRITEBACK_ID = W.ID AND R.STATE = 2), "
    "(SELECT COUNT(*) FROM WRITEBACK U WHERE U.UNDOES = W.ID) FROM WRITEBACK W ";

const QString TimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

TSQLParamValue Text(const TSQLCursor& cursor, int index)
{
    return TWriteBackSnapshot::ValueText(cursor, index);
}

qint64 Number(const TSQLCursor& cursor, int index)
{
    return cursor.IsNull(index) ? 0 : Text(cursor, index).value_or(QString()).toLongLong();
}

TSQLParamValue Number(qint64 value)
{
    return QString::number(value);
}

QString WorkstationUser()
{
    for (const char* name : {"USER", "USERNAME", "LOGNAME"})
        if (const QString user = qEnvironmentVariable(name); !user.isEmpty()) return user;
    return QDir::home().dirName();
}

// The SQLite section of the drivers file names the library to load, as it
// does for a database; without one, the usual library.
void FindSQLiteLibrary(QString& vendorLib, QString& getDriverFunc)
{
    vendorLib = QStringLiteral("libsqlite3.so.0");
    getDriverFunc = QStringLiteral("sqlite3_open_v2");
    const QString drivers = TSQLConnection::DriverRegistryFile();
    if (!QFileInfo(drivers).isFile()) return;
    const TIniFile ini(drivers);
    for (const QString& section : ini.ReadSections()) {
        if (ini.ReadString(section, QStringLiteral("LibraryName"), QString())
                .trimmed()
                .compare(QLatin1String("sqlite"), Qt::CaseInsensitive) != 0)
            continue;
        const QString lib =
            ini.ReadString(section, QStringLiteral("VendorLib"), QString()).trimmed();
        const QString func =
            ini.ReadString(section, QStringLiteral("GetDriverFunc"), QString()).trimmed();
        if (!lib.isEmpty()) vendorLib = lib;
        if (!func.isEmpty()) getDriverFunc = func;
        return;
    }
}

// Ends a journal transaction that did not commit.
class TJournalTransaction
{
public:
    explicit TJournalTransaction(TSQLConnection& connection) : FConnection(connection)
    {
        FConnection.Execute(QStringLiteral("BEGIN IMMEDIATE"), {});
    }
    ~TJournalTransaction()
    {
        if (FOpen) try {
                FConnection.Execute(QStringLiteral("ROLLBACK"), {});
            } catch (const Exception&) {
                // The first error is the one to report.
            }
    }
    TJournalTransaction(const TJournalTransaction&) = delete;
    TJournalTransaction& operator=(const TJournalTransaction&) = delete;
    void Commit()
    {
        FConnection.Execute(QStringLiteral("COMMIT"), {});
        FOpen = false;
    }

private:
    TSQLConnection& FConnection;
    bool FOpen = true;
};

// A journal that can't record a write-back stops it before its first row.
EWriteBackJournalError NothingWritten(const Exception& error)
{
    return EWriteBackJournalError(
        QStringLiteral("回存記錄無法寫入，資料庫未作任何變更。\n%1").arg(error.Message()));
}

} // namespace

TWriteBackJournal::TWriteBackJournal(QString fileName) : FFileName(std::move(fileName)) {}

TWriteBackJournal::~TWriteBackJournal() = default;

QString TWriteBackJournal::DefaultFileName()
{
    return QDir(UserDataFolder()).filePath(QStringLiteral("writeback-journal.sqlite"));
}

void TWriteBackJournal::SetFileName(const QString& fileName)
{
    {
        const std::lock_guard lock(FConnectionMutex);
        FConnection.reset();
    }
    FMarks.clear();
    FFileName = fileName;
}

void TWriteBackJournal::Cancel()
{
    const std::lock_guard lock(FConnectionMutex);
    if (FConnection) FConnection->Cancel();
}

QString TWriteBackJournal::TakeSetAsideFile()
{
    return std::exchange(FSetAsideFile, QString());
}

void TWriteBackJournal::Fail(const QString& reason) const
{
    throw EWriteBackJournalError(QStringLiteral("回存記錄檔 %1 無法使用：%2")
                                     .arg(QDir::toNativeSeparators(FFileName), reason));
}

TSQLConnection& TWriteBackJournal::Connection()
{
    if (!FConnection) Open();
    return *FConnection;
}

void TWriteBackJournal::Open()
{
    std::unique_ptr<TSQLConnection> connection;
    if (!OpenChecked(connection)) {
        // A write-back recorded in a damaged file might never be taken back.
        connection.reset();
        SetAside();
        if (!OpenChecked(connection)) Fail(QStringLiteral("新的記錄檔也無法讀取"));
    }
    const std::lock_guard lock(FConnectionMutex);
    FConnection = std::move(connection);
}

void TWriteBackJournal::SetAside()
{
    const QString aside = FFileName + QStringLiteral(".damaged-") +
                          QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    // The write-ahead log belongs to the file it was written for.
    for (const QString& suffix : {QString(), QStringLiteral("-wal")}) {
        QFile::remove(aside + suffix);
        if (QFileInfo::exists(FFileName + suffix) &&
            !QFile::rename(FFileName + suffix, aside + suffix))
            Fail(QStringLiteral("損毀的記錄檔無法移到 %1").arg(QDir::toNativeSeparators(aside)));
    }
    QFile::remove(FFileName + QStringLiteral("-shm"));
    FSetAsideFile = aside;
}

bool TWriteBackJournal::OpenChecked(std::unique_ptr<TSQLConnection>& result)
{
    const QFileInfo info(FFileName);
    if (!QDir().mkpath(info.absolutePath())) Fail(QStringLiteral("無法建立資料夾"));
    // An empty file is an empty SQLite database; the driver opens existing
    // files only.
    if (!info.exists()) {
        QFile file(FFileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) Fail(file.errorString());
    }
    QString vendorLib;
    QString getDriverFunc;
    FindSQLiteLibrary(vendorLib, getDriverFunc);
    auto connection = std::make_unique<TSQLConnection>();
    connection->SetLoadParamsOnConnect(false);
    connection->SetLoginPrompt(false);
    connection->SetDriverName(QStringLiteral("SQLite"));
    connection->SetLibraryName(QStringLiteral("sqlite"));
    connection->SetVendorLib(vendorLib);
    connection->SetGetDriverFunc(getDriverFunc);
    connection->Params().Assign({QStringLiteral("Database=") + FFileName,
                                 QStringLiteral("ServerCharSet=UTF8"),
                                 QStringLiteral("WaitOnLocks=True")});
    try {
        connection->Open();
        // The notes of a run must not wait for the disk at every row; what
        // was committed survives the program, if not a power cut.
        connection->Execute(QStringLiteral("PRAGMA synchronous = NORMAL"), {});
        {
            auto check = connection->OpenCursor(QStringLiteral("PRAGMA quick_check"), {});
            if (!check->Next() || check->GetText(0) != "ok") return false;
        }
        for (const char* statement : Schema)
            connection->Execute(QString::fromLatin1(statement), {});
    } catch (const ESQLError& error) {
        // SQLITE_CORRUPT, SQLITE_NOTADB: the file is damaged, not in the way.
        const int primary = error.ErrorCode() & 0xff;
        if (primary == 11 || primary == 26) return false;
        Fail(error.Message());
    } catch (const Exception& error) {
        Fail(error.Message());
    }
    result = std::move(connection);
    return true;
}

void TWriteBackJournal::Execute(const QString& sql, const QList<TSQLParamValue>& params)
{
    Connection().Execute(sql, params);
}

void TWriteBackJournal::Prepare()
{
    try {
        Connection();
    } catch (const Exception& error) {
        throw NothingWritten(error);
    }
}

qint64 TWriteBackJournal::Begin(const TJournalEntry& entry, const std::vector<TJournalRow>& rows)
{
    try {
        TSQLConnection& connection = Connection();
        TJournalTransaction transaction(connection);
        Execute(QStringLiteral("INSERT INTO WRITEBACK (STARTED, DATABASE_NAME, USER_NAME, "
                               "COLUMN_NAME, NEW_VALUE, UNDOES, LISTED) VALUES (?, ?, ?, ?, ?, ?, "
                               "?)"),
                {(entry.When.isValid() ? entry.When : QDateTime::currentDateTime())
                     .toString(TimeFormat),
                 entry.Database, entry.User.isEmpty() ? WorkstationUser() : entry.User,
                 entry.Column, entry.Value, entry.Undoes ? Number(entry.Undoes) : TSQLParamValue(),
                 Number(qint64(rows.size()))});
        qint64 id = 0;
        {
            auto cursor =
                connection.OpenCursor(QStringLiteral("SELECT MAX(ID) FROM WRITEBACK"), {});
            if (cursor->Next()) id = Number(*cursor, 0);
        }
        InsertRows(id, rows);
        Prune(entry.Database);
        transaction.Commit();
        FSinceFlush.start();
        return id;
    } catch (const Exception& error) {
        throw NothingWritten(error);
    }
}

void TWriteBackJournal::InsertRows(qint64 id, const std::vector<TJournalRow>& rows)
{
    TStatementReuse reuse(Connection());
    const TSQLParamValue key = Number(id);
    for (std::size_t first = 0; first < rows.size(); first += RowsPerInsert) {
        const std::size_t end = std::min(rows.size(), first + RowsPerInsert);
        QString sql =
            QStringLiteral("INSERT INTO WRITEBACK_ROW (WRITEBACK_ID, SEQ, PROD_ID, FOUND, "
                           "BEFORE_VALUE, BEFORE_CHG_DATE, BEFORE_CHG_TIME, "
                           "WRITTEN_VALUE, STATE) VALUES ");
        QList<TSQLParamValue> params;
        params.reserve(qsizetype(end - first) * 9);
        for (std::size_t i = first; i < end; ++i) {
            const TJournalRow& row = rows[i];
            sql += i == first ? QStringLiteral("(?, ?, ?, ?, ?, ?, ?, ?, ?)")
                              : QStringLiteral(", (?, ?, ?, ?, ?, ?, ?, ?, ?)");
            params << key << Number(qint64(i)) << row.Code << Number(row.Found ? 1 : 0)
                   << row.Before << row.BeforeChgDate << row.BeforeChgTime << row.Written
                   << Number(int(row.State));
        }
        Execute(sql, params);
    }
}

void TWriteBackJournal::Prune(const QString& database)
{
    qint64 oldestKept = 0;
    {
        auto cursor = Connection().OpenCursor(
            QStringLiteral("SELECT ID FROM WRITEBACK WHERE DATABASE_NAME = ? ORDER BY ID DESC "
                           "LIMIT 1 OFFSET %1")
                .arg(KeptPerDatabase - 1),
            {database});
        if (cursor->Next()) oldestKept = Number(*cursor, 0);
    }
    if (oldestKept == 0) return;
    const QList<TSQLParamValue> params = {database, Number(oldestKept)};
    Execute(QStringLiteral("DELETE FROM WRITEBACK_ROW WHERE WRITEBACK_ID IN (SELECT ID FROM "
                           "WRITEBACK WHERE DATABASE_NAME = ? AND ID < ?)"),
            params);
    Execute(QStringLiteral("DELETE FROM WRITEBACK WHERE DATABASE_NAME = ? AND ID < ?"), params);
}

void TWriteBackJournal::Mark(qint64 id, int index, TJournalRowState state)
{
    FMarks.push_back({id, index, index, state});
    if (FMarks.size() >= MarksPerFlush || !FSinceFlush.isValid() ||
        FSinceFlush.elapsed() >= FlushIntervalMs)
        Flush();
}

void TWriteBackJournal::MarkRange(qint64 id, int first, int end, TJournalRowState state)
{
    if (first < end) FMarks.push_back({id, first, end - 1, state});
}

void TWriteBackJournal::Flush()
{
    if (FMarks.empty()) return;
    try {
        WriteMarks();
    } catch (const Exception& error) {
        throw EWriteBackJournalError(
            QStringLiteral("回存記錄無法記下已寫入的列。\n%1").arg(error.Message()));
    }
    FMarks.clear();
    FSinceFlush.start();
}

void TWriteBackJournal::WriteMarks()
{
    TSQLConnection& connection = Connection();
    TJournalTransaction transaction(connection);
    TStatementReuse reuse(connection);
    // Rows go in list order, so the notes of a run are a few ranges.
    std::size_t i = 0;
    while (i < FMarks.size()) {
        const TMark& first = FMarks[i];
        std::size_t j = i + 1;
        while (j < FMarks.size() && FMarks[j].Id == first.Id && FMarks[j].State == first.State &&
               FMarks[j].First == FMarks[j - 1].Last + 1)
            ++j;
        Execute(QStringLiteral("UPDATE WRITEBACK_ROW SET STATE = ? WHERE WRITEBACK_ID = ? AND SEQ "
                               "BETWEEN ? AND ?"),
                {Number(int(first.State)), Number(first.Id), Number(first.First),
                 Number(FMarks[j - 1].Last)});
        i = j;
    }
    transaction.Commit();
}

QList<TJournalEntry> TWriteBackJournal::ReadEntries(const QString& condition,
                                                    const TSQLParamValue& key)
{
    QList<TJournalEntry> entries;
    try {
        auto cursor = Connection().OpenCursor(QString::fromLatin1(EntryColumns) + condition, {key});
        while (cursor->Next()) {
            TJournalEntry e;
            e.Id = Number(*cursor, 0);
            e.When = QDateTime::fromString(Text(*cursor, 1).value_or(QString()), TimeFormat);
            e.Database = Text(*cursor, 2).value_or(QString());
            e.User = Text(*cursor, 3).value_or(QString());
            e.Column = Text(*cursor, 4).value_or(QString());
            e.Value = Text(*cursor, 5);
            e.Undoes = Number(*cursor, 6);
            e.Listed = int(Number(*cursor, 7));
            e.Written = int(Number(*cursor, 8));
            e.Skipped = int(Number(*cursor, 9));
            e.Undone = Number(*cursor, 10) > 0;
            entries.append(e);
        }
    } catch (const EWriteBackJournalError&) {
        throw;
    } catch (const Exception& error) {
        Fail(error.Message());
    }
    return entries;
}

QList<TJournalEntry> TWriteBackJournal::Entries(const QString& database)
{
    return ReadEntries(QStringLiteral("WHERE W.DATABASE_NAME = ? ORDER BY W.ID DESC"), database);
}

std::optional<TJournalEntry> TWriteBackJournal::Entry(qint64 id)
{
    const QList<TJournalEntry> entries = ReadEntries(QStringLiteral("WHERE W.ID = ?"), Number(id));
    if (entries.isEmpty()) return std::nullopt;
    return entries.first();
}

std::vector<TJournalRow> TWriteBackJournal::Rows(qint64 id)
{
    std::vector<TJournalRow> rows;
    try {
        auto cursor = Connection().OpenCursor(
            QStringLiteral("SELECT PROD_ID, FOUND, BEFORE_VALUE, BEFORE_CHG_DATE, BEFORE_CHG_TIME, "
                           "WRITTEN_VALUE, STATE FROM WRITEBACK_ROW WHERE WRITEBACK_ID = ? ORDER "
                           "BY SEQ"),
            {Number(id)});
        while (cursor->Next()) {
            TJournalRow row;
            row.Code = Text(*cursor, 0).value_or(QString());
            row.Found = Number(*cursor, 1) != 0;
            row.Before = Text(*cursor, 2);
            row.BeforeChgDate = Text(*cursor, 3);
            row.BeforeChgTime = Text(*cursor, 4);
            row.Written = Text(*cursor, 5);
            row.State = TJournalRowState(Number(*cursor, 6));
            rows.push_back(std::move(row));
        }
    } catch (const EWriteBackJournalError&) {
        throw;
    } catch (const Exception& error) {
        Fail(error.Message());
    }
    return rows;
}
