#pragma once

#include "TFieldType.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

// Rows held column by column: numbers in typed arrays, text as UTF-8 in an
// arena per column, a null bit per cell. Row ids are indexes and never move;
// a changed text is appended to the arena and the old bytes stay unused until
// the store is reset.
//
// Everything grows in fixed pages (4096 rows, 64 KiB of text), so that loading
// never copies what it already holds and keeps little slack.
class TRowStore
{
public:
    void Reset(const QList<TFieldType>& types);
    int ColumnCount() const { return int(FColumns.size()); }
    TFieldType ColumnType(int col) const { return FColumns[col].Type; }
    int RowCount() const { return FRows; }

    // A new row of nulls; returns its id.
    int AddRow();

    bool IsNull(int row, int col) const
    {
        return (Page(col, row).Nulls[(row & PageMask) >> 6] >> (row & 63)) & 1;
    }
    qint32 Integer(int row, int col) const { return Page(col, row).Ints[row & PageMask]; }
    double Float(int row, int col) const { return Page(col, row).Floats[row & PageMask]; }
    QByteArrayView Text(int row, int col) const;
    QString String(int row, int col) const { return QString::fromUtf8(Text(row, col)); }

    void SetNull(int row, int col);
    void SetInteger(int row, int col, qint32 value);
    void SetFloat(int row, int col, double value);
    void SetText(int row, int col, QByteArrayView utf8);

    // Bytes held, for the memory figures of the benchmarks.
    std::size_t ByteSize() const;

private:
    static constexpr int PageBits = 12;
    static constexpr int PageRows = 1 << PageBits;
    static constexpr int PageMask = PageRows - 1;
    static constexpr int BlockBits = 16;
    static constexpr std::uint32_t BlockSize = 1u << BlockBits;

    struct RowPage
    {
        std::uint64_t Nulls[PageRows / 64];
        std::unique_ptr<qint32[]> Ints;
        std::unique_ptr<double[]> Floats;
        std::unique_ptr<std::uint32_t[]> Offsets; // block << 16 | position
    };

    struct Column
    {
        TFieldType Type = TFieldType::ftUnknown;
        std::vector<std::unique_ptr<RowPage>> Pages;
        // Text blocks of BlockSize bytes; a longer text gets a block of its own.
        std::vector<std::unique_ptr<char[]>> Blocks;
        std::vector<std::uint32_t> BlockCapacity;
        std::uint32_t Used = BlockSize; // of the last block: full before the first
    };

    const RowPage& Page(int col, int row) const { return *FColumns[col].Pages[row >> PageBits]; }
    RowPage& Page(int col, int row) { return *FColumns[col].Pages[row >> PageBits]; }
    void SetNullBit(RowPage& page, int row, bool isNull);

    std::vector<Column> FColumns;
    int FRows = 0;
};
