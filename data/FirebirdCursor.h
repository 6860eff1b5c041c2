#pragma once

#include "FirebirdStatement.h"
#include "TSQLDriver.h"

#include <vector>

// The rows of a Firebird SELECT. Columns are fetched in the few shapes the
// data layer holds: text as it comes, SMALLINT and INTEGER as 32-bit integers,
// every other number (NUMERIC, DECIMAL, BIGINT, FLOAT, DOUBLE) as a double,
// and dates, times and Booleans as the engine's text for them. BLOB and ARRAY
// columns are ftUnknown and read as null. Text is decoded to UTF-8 into one
// buffer per column, reused row after row.
class FirebirdCursor final : public TSQLCursor
{
public:
    // Takes over an executed statement; with no columns it has no rows.
    // After its last row the statement runs again with each of the later
    // batches, whose rows follow.
    explicit FirebirdCursor(std::unique_ptr<FirebirdStatement> statement,
                            TSQLParamBatches laterBatches = {});
    ~FirebirdCursor() override;

    int ColumnCount() const override { return int(FColumns.size()); }
    const TSQLColumn& Column(int index) const override { return FColumns[index]; }
    bool Next() override;
    bool IsNull(int index) const override;
    qint32 GetInteger(int index) const override;
    double GetFloat(int index) const override;
    QByteArrayView GetText(int index) const override;

private:
    enum class Shape : quint8 { Integer, Double, Text, Varying, Unknown };
    struct Slot {
        const char* Data = nullptr;
        const short* Null = nullptr;
        char* Decoded = nullptr;
        const CharSetCodec* Codec = nullptr;
        int Length = 0;
        Shape Kind = Shape::Unknown;
    };

    void Finish();

    std::unique_ptr<FirebirdStatement> FStatement;
    TSQLParamBatches FLaterBatches;
    qsizetype FNextBatch = 0;
    std::vector<TSQLColumn> FColumns;
    std::vector<Slot> FSlots;
    std::vector<double> FRow; // the fetched values; double for alignment
    std::vector<short> FNulls;
    std::vector<char> FDecoded;
    bool FTrimChar = false;
    bool FDone = false;
};
