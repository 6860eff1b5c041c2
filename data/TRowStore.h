#pragma once

#include "TFieldType.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstdint>
#include <vector>

// Rows held column by column: numbers in typed arrays, text as UTF-8 in one
// arena per column, a null bit per cell. Row ids are indexes and never move;
// a changed text is appended to the arena and the old bytes stay unused until
// the store is reset.
class TRowStore
{
public:
    void Reset(const QList<TFieldType>& types);
    void Reserve(int rows);
    int ColumnCount() const { return int(FColumns.size()); }
    TFieldType ColumnType(int col) const { return FColumns[col].Type; }
    int RowCount() const { return FRows; }

    // A new row of nulls; returns its id.
    int AddRow();

    bool IsNull(int row, int col) const
    {
        return (FColumns[col].Nulls[row >> 6] >> (row & 63)) & 1;
    }
    qint32 Integer(int row, int col) const { return FColumns[col].Ints[row]; }
    double Float(int row, int col) const { return FColumns[col].Floats[row]; }
    QByteArrayView Text(int row, int col) const;
    QString String(int row, int col) const { return QString::fromUtf8(Text(row, col)); }

    void SetNull(int row, int col);
    void SetInteger(int row, int col, qint32 value);
    void SetFloat(int row, int col, double value);
    void SetText(int row, int col, QByteArrayView utf8);

    // Bytes held, for the memory figures of the benchmarks.
    std::size_t ByteSize() const;

private:
    struct Column
    {
        TFieldType Type = TFieldType::ftUnknown;
        std::vector<std::uint64_t> Nulls;
        std::vector<qint32> Ints;
        std::vector<double> Floats;
        std::vector<std::uint32_t> Offsets; // into Arena: a length prefix, then the bytes
        std::vector<char> Arena;
    };

    void SetNullBit(Column& column, int row, bool isNull);

    std::vector<Column> FColumns;
    int FRows = 0;
};
