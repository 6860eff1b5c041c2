#pragma once

#include "SQLiteDatabase.h"
#include "TSQLDriver.h"

#include <vector>

// The rows of a SQLite SELECT. Column kinds come from the declared types:
// VARCHAR(n) and CHAR(n) are text of size n (other text types 255), INTEGER
// and the like 32-bit integers, BIGINT, REAL, DOUBLE, FLOAT, NUMERIC and
// DECIMAL doubles, DATE and TIME types text of size 32. A column without a
// declared type (an expression) takes the kind of its value in the first row;
// BLOB values are ftUnknown and read as null. Names are as the statement
// writes them.
class SQLiteCursor final : public TSQLCursor
{
public:
    // Takes over a prepared statement and runs it up to its first row.
    // After its last row the statement runs again with each of the later
    // batches, whose rows follow.
    explicit SQLiteCursor(std::unique_ptr<SQLiteStatement> statement,
                          TSQLParamBatches laterBatches = {});

    int ColumnCount() const override { return int(FColumns.size()); }
    const TSQLColumn& Column(int index) const override { return FColumns[index]; }
    bool Next() override;
    bool IsNull(int index) const override;
    qint32 GetInteger(int index) const override;
    double GetFloat(int index) const override;
    QByteArrayView GetText(int index) const override;

private:
    bool Step();

    std::unique_ptr<SQLiteStatement> FStatement;
    TSQLParamBatches FLaterBatches;
    qsizetype FNextBatch = 0;
    const SQLiteApi* FApi;
    sqlite3_stmt* FHandle;
    std::vector<TSQLColumn> FColumns;
    bool FPending = false;
    bool FDone = false;
};
