#include "TRowStore.h"

#include "Exceptions.h"

void TRowStore::Reset(const QList<TFieldType>& types)
{
    FColumns.clear();
    FColumns.resize(types.size());
    for (int i = 0; i < types.size(); ++i)
        FColumns[i].Type = types[i];
    FRows = 0;
}

void TRowStore::Reserve(int rows)
{
    for (Column& c : FColumns) {
        c.Nulls.reserve((rows + 63) / 64);
        switch (c.Type) {
        case TFieldType::ftInteger:
            c.Ints.reserve(rows);
            break;
        case TFieldType::ftFloat:
            c.Floats.reserve(rows);
            break;
        default:
            c.Offsets.reserve(rows);
        }
    }
}

int TRowStore::AddRow()
{
    const int row = FRows++;
    for (Column& c : FColumns) {
        if ((row & 63) == 0)
            c.Nulls.push_back(0);
        c.Nulls.back() |= std::uint64_t(1) << (row & 63);
        switch (c.Type) {
        case TFieldType::ftInteger:
            c.Ints.push_back(0);
            break;
        case TFieldType::ftFloat:
            c.Floats.push_back(0);
            break;
        default:
            c.Offsets.push_back(0);
        }
    }
    return row;
}

void TRowStore::SetNullBit(Column& column, int row, bool isNull)
{
    const std::uint64_t bit = std::uint64_t(1) << (row & 63);
    if (isNull)
        column.Nulls[row >> 6] |= bit;
    else
        column.Nulls[row >> 6] &= ~bit;
}

void TRowStore::SetNull(int row, int col) { SetNullBit(FColumns[col], row, true); }

void TRowStore::SetInteger(int row, int col, qint32 value)
{
    Column& c = FColumns[col];
    c.Ints[row] = value;
    SetNullBit(c, row, false);
}

void TRowStore::SetFloat(int row, int col, double value)
{
    Column& c = FColumns[col];
    c.Floats[row] = value;
    SetNullBit(c, row, false);
}

QByteArrayView TRowStore::Text(int row, int col) const
{
    const Column& c = FColumns[col];
    if (IsNull(row, col))
        return {};
    const unsigned char* p =
        reinterpret_cast<const unsigned char*>(c.Arena.data()) + c.Offsets[row];
    // Length prefix: one byte below 0x80, else four bytes with the top bit set.
    std::uint32_t length = p[0];
    if (length & 0x80) {
        length = ((p[0] & 0x7Fu) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8)
                 | p[3];
        p += 4;
    } else {
        p += 1;
    }
    return QByteArrayView(reinterpret_cast<const char*>(p), qsizetype(length));
}

void TRowStore::SetText(int row, int col, QByteArrayView utf8)
{
    Column& c = FColumns[col];
    const std::size_t offset = c.Arena.size();
    const auto length = std::uint32_t(utf8.size());
    if (offset + utf8.size() + 4 > UINT32_MAX)
        throw EDatabaseError(QStringLiteral("Too much text for one column"));
    if (length < 0x80) {
        c.Arena.push_back(char(length));
    } else {
        c.Arena.push_back(char(0x80 | (length >> 24)));
        c.Arena.push_back(char(length >> 16));
        c.Arena.push_back(char(length >> 8));
        c.Arena.push_back(char(length));
    }
    c.Arena.insert(c.Arena.end(), utf8.begin(), utf8.end());
    c.Offsets[row] = std::uint32_t(offset);
    SetNullBit(c, row, false);
}

std::size_t TRowStore::ByteSize() const
{
    std::size_t bytes = 0;
    for (const Column& c : FColumns)
        bytes += c.Nulls.capacity() * 8 + c.Ints.capacity() * 4 + c.Floats.capacity() * 8
                 + c.Offsets.capacity() * 4 + c.Arena.capacity();
    return bytes;
}
