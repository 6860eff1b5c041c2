#pragma once

#include "TSQLDriver.h"

struct SQLiteApi;

// The driver "sqlite": SQLite's library (VendorLib, as a rule
// libsqlite3.so.0). Database is the path of an existing database file.
//
// Parameters read: Database, ServerCharSet, WaitOnLocks. The connection uses
// WAL journaling, synchronous FULL and case-sensitive LIKE (as Firebird's);
// with WaitOnLocks "True" a statement that meets another connection's write
// lock waits for it (up to ten minutes) instead of failing at once. Every
// statement commits on its own. SQLite stores any character; text parameters
// are still held to the set that ServerCharSet names (empty: Big5), so that a
// value the program can write here it can write to Firebird too.
class SQLiteDriver final : public TSQLDriver
{
public:
    void Load(const QString& vendorLib, const QString& getDriverFunc) override;
    std::unique_ptr<TSQLDriverConnection> Connect(const QMap<QString, QString>& params) override;

private:
    std::shared_ptr<const SQLiteApi> FApi;
};
