#pragma once

#include <QList>
#include <QString>
#include <QVariant>

struct sqlite3;

// One connection to a SQLite file. Errors are std::runtime_error with the
// engine's text.
class TSqliteDatabase
{
public:
    // Opens an existing file, or makes a new one when create is set.
    explicit TSqliteDatabase(const QString& path, bool create = false);
    ~TSqliteDatabase();
    TSqliteDatabase(const TSqliteDatabase&) = delete;
    TSqliteDatabase& operator=(const TSqliteDatabase&) = delete;

    // Runs one or more statements; outside BEGIN each one commits on its own.
    void Execute(const QString& sql);
    QList<QVariantList> Query(const QString& sql);

    [[noreturn]] void Fail(const QString& context) const;

private:
    friend class TSqliteStatement;

    sqlite3* FHandle = nullptr;
};
