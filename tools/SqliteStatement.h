#pragma once

#include <QString>
#include <QVariant>

class TSqliteDatabase;
struct sqlite3_stmt;

// A prepared SQLite statement; parameters count from 0.
class TSqliteStatement
{
public:
    TSqliteStatement(const TSqliteDatabase& database, const QString& sql);
    ~TSqliteStatement();
    TSqliteStatement(const TSqliteStatement&) = delete;
    TSqliteStatement& operator=(const TSqliteStatement&) = delete;

    int ParamCount() const;
    void SetNull(int index);
    void SetInteger(int index, qint64 value);
    void SetFloat(int index, double value);
    void SetText(int index, QStringView value);

    // Runs to the first row; Step() moves on. Both return false past the last
    // row. A statement without rows runs completely in Execute().
    bool Execute();
    bool Step();
    int ColumnCount() const;
    QVariant Value(int column) const;

private:
    void Check(int result) const;

    const TSqliteDatabase& FDatabase;
    sqlite3_stmt* FHandle = nullptr;
};
