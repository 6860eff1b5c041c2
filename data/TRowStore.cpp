#include "TRowStore.h"

#include "Exceptions.h"

#include <cstring>

void TRowStore::Reset(const QList<TFieldType>& types)
{
    FColumns.clear();
    FColumns.resize(types.size());
    for (int i = 0; i < types.size(); ++i)
        FColumns[i].Type = types[i];
    FRows = 0;
}

int TRowStore::AddRow()
{
    const int row = FRows++;
    if ((row & PageMask) == 0) {
        for (Column& c : FColumns) {
            auto page = std::make_unique<RowPage>();
            // New rows are null until a value is set.
            std::memset(page->Nulls, 0xFF, sizeof page->Nulls);
            switch (c.Type) {
            case TFieldType::ftInteger:
                page->Ints.reset(new qint32[PageRows]);
                break;
            case TFieldType::ftFloat:
                page->Floats.reset(new double[PageRows]);
                break;
            default:
                page->Offsets.reset(new std::uint32_t[PageRows]);
            }
            c.Pages.push_back(std::move(page));
        }
    }
    return row;
}

void TRowStore::SetNullBit(RowPage& page, int row, bool isNull)
{
    const std::uint64_t bit = std::uint64_t(1) << (row & 63);
    std::uint64_t& word = page.Nulls[(row & PageMask) >> 6];
    if (isNull)
        word |= bit;
    else
        word &= ~bit;
}

void TRowStore::SetNull(int row, int col) { SetNullBit(Page(col, row), row, true); }

void TRowStore::SetInteger(int row, int col, qint32 value)
{
    RowPage& page = Page(col, row);
    page.Ints[row & PageMask] = value;
    SetNullBit(page, row, false);
}

void TRowStore::SetFloat(int row, int col, double value)
{
    RowPage& page = Page(col, row);
    page.Floats[row & PageMask] = value;
    SetNullBit(page, row, false);
}

QByteArrayView TRowStore::Text(int row, int col) const
{
    if (IsNull(row, col))
        return {};
    const Column& c = FColumns[col];
    const std::uint32_t at = Page(col, row).Offsets[row & PageMask];
    const auto* p =
        reinterpret_cast<const unsigned char*>(c.Blocks[at >> BlockBits].get()) + (at & 0xFFFF);
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
    const auto length = std::uint32_t(utf8.size());
    const std::uint32_t needed = length + (length < 0x80 ? 1 : 4);
    if (c.Used + needed > (c.Blocks.empty() ? 0 : c.BlockCapacity.back())) {
        if (c.Blocks.size() >= (std::size_t(1) << (32 - BlockBits)))
            throw EDatabaseError(QStringLiteral("Too much text for one column"));
        const std::uint32_t capacity = needed > BlockSize ? needed : BlockSize;
        c.Blocks.emplace_back(new char[capacity]);
        c.BlockCapacity.push_back(capacity);
        c.Used = 0;
    }
    auto* p = reinterpret_cast<unsigned char*>(c.Blocks.back().get()) + c.Used;
    // A text longer than a block stands alone at position 0 of its own block.
    const std::uint32_t at = std::uint32_t((c.Blocks.size() - 1) << BlockBits) | c.Used;
    if (length < 0x80) {
        *p++ = static_cast<unsigned char>(length);
    } else {
        *p++ = static_cast<unsigned char>(0x80 | (length >> 24));
        *p++ = static_cast<unsigned char>(length >> 16);
        *p++ = static_cast<unsigned char>(length >> 8);
        *p++ = static_cast<unsigned char>(length);
    }
    if (length > 0)
        std::memcpy(p, utf8.data(), length);
    c.Used += needed;
    RowPage& page = Page(col, row);
    page.Offsets[row & PageMask] = at;
    SetNullBit(page, row, false);
}

std::size_t TRowStore::ByteSize() const
{
    std::size_t bytes = 0;
    for (const Column& c : FColumns) {
        const std::size_t perRow = c.Type == TFieldType::ftFloat ? 8 : 4;
        bytes += c.Pages.size() * (sizeof(RowPage) + PageRows * perRow);
        for (std::uint32_t capacity : c.BlockCapacity)
            bytes += capacity;
    }
    return bytes;
}
