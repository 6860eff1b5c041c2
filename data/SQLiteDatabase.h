#pragma once

#include "CharSetCodec.h"
#include "SQLiteApi.h"
#include "SQLiteParamTypes.h"

#include <atomic>
#include <memory>

// One open SQLite database, shared by its connection and open cursors; closed
// when the last of them lets go.
struct SQLiteDatabase {
    ~SQLiteDatabase();

    // Throws ESQLError with SQLite's message for the last failed call.
    [[noreturn]] void Fail() const;

    std::shared_ptr<const SQLiteApi> Api;
    // The set text parameters are held to; null when any character goes.
    std::shared_ptr<const CharSetCodec> CharSet;
    sqlite3* Db = nullptr;
    // With WaitOnLocks, how long a statement waits for another connection's
    // lock; 0 fails at once.
    int LockWaitMilliseconds = 0;
    // Set by another thread to make the statement under way give up.
    mutable std::atomic<bool> Cancelled{false};
};

// A prepared statement with its values bound, finalized on destruction.
// Bind() runs it again from the start with other values.
class SQLiteStatement
{
public:
    SQLiteStatement(std::shared_ptr<const SQLiteDatabase> database, const QString& sql,
                    const QList<std::optional<QString>>& params);
    ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    // Resets the statement and binds params; a value that its column can't
    // take is refused before anything runs.
    void Bind(const QList<std::optional<QString>>& params);
    // True with a row, false when done; throws on failure.
    bool Step();
    void Finish();
    sqlite3_stmt* Handle() const { return FStatement; }
    const SQLiteDatabase& Database() const { return *FDatabase; }

private:
    void Prepare(const QString& sql);

    std::shared_ptr<const SQLiteDatabase> FDatabase;
    sqlite3_stmt* FStatement = nullptr;
    QList<SQLiteParamTypes::Affinity> FAffinities;
};
