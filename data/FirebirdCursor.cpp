#include "FirebirdCursor.h"

#include <cstring>

namespace
{

// Text length of the shapes that the engine turns into text for us.
constexpr short TextLength = 32;

size_t Align8(size_t n)
{
    return (n + 7) & ~size_t(7);
}

} // namespace

FirebirdCursor::FirebirdCursor(std::unique_ptr<FirebirdStatement> statement,
                               TSQLParamBatches laterBatches)
    : FStatement(std::move(statement)), FLaterBatches(std::move(laterBatches))
{
    const FirebirdAttachment& a = FStatement->Attachment();
    FTrimChar = a.TrimChar;
    if (!FStatement->IsQuery()) {
        Finish();
        return;
    }
    XSQLDA& out = FStatement->Output();
    const int count = out.sqld;
    FColumns.resize(count);
    FSlots.resize(count);
    FNulls.assign(count, 0);
    std::vector<size_t> offsets(count);
    size_t rowSize = 0;
    size_t decodedSize = 0;
    for (int i = 0; i < count; ++i) {
        XSQLVAR& var = out.sqlvar[i];
        TSQLColumn& column = FColumns[i];
        Slot& slot = FSlots[i];
        column.Name = a.Codec->ToString(QByteArrayView(var.aliasname, var.aliasname_length));
        const short nullable = var.sqltype & 1;
        switch (var.sqltype & ~1) {
        case SQL_TEXT:
        case SQL_VARYING:
            column.DataType = TFieldType::ftString;
            column.Size = var.sqllen;
            slot.Kind = (var.sqltype & ~1) == SQL_TEXT ? Shape::Text : Shape::Varying;
            slot.Codec = (var.sqlsubtype & 0xFF) == 0 ? a.NoneCodec.get() : a.Codec.get();
            break;
        case SQL_SHORT:
        case SQL_LONG:
            if (var.sqlscale == 0) {
                column.DataType = TFieldType::ftInteger;
                slot.Kind = Shape::Integer;
                var.sqltype = SQL_LONG | nullable;
                var.sqllen = 4;
                break;
            }
            [[fallthrough]];
        case SQL_INT64:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            column.DataType = TFieldType::ftFloat;
            slot.Kind = Shape::Double;
            var.sqltype = SQL_DOUBLE | nullable;
            var.sqlscale = 0;
            var.sqllen = 8;
            break;
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TIMESTAMP:
        case SQL_BOOLEAN:
            column.DataType = TFieldType::ftString;
            column.Size = TextLength;
            slot.Kind = Shape::Varying;
            slot.Codec = a.NoneCodec.get();
            var.sqltype = SQL_VARYING | nullable;
            var.sqlsubtype = 0;
            var.sqlscale = 0;
            var.sqllen = TextLength;
            break;
        default:
            column.DataType = TFieldType::ftUnknown;
            slot.Kind = Shape::Unknown;
            break;
        }
        offsets[i] = rowSize;
        rowSize += Align8(slot.Kind == Shape::Varying ? var.sqllen + 2 : var.sqllen);
        if (slot.Kind == Shape::Text || slot.Kind == Shape::Varying)
            decodedSize += Align8(size_t(var.sqllen) * 4);
        slot.Length = var.sqllen;
    }

    FRow.assign(rowSize / 8 + 1, 0.0);
    FDecoded.assign(decodedSize + 8, '\0');
    char* row = reinterpret_cast<char*>(FRow.data());
    size_t decoded = 0;
    for (int i = 0; i < count; ++i) {
        XSQLVAR& var = out.sqlvar[i];
        Slot& slot = FSlots[i];
        var.sqldata = row + offsets[i];
        var.sqlind = &FNulls[i];
        slot.Data = var.sqldata;
        slot.Null = &FNulls[i];
        if (slot.Kind == Shape::Text || slot.Kind == Shape::Varying) {
            slot.Decoded = FDecoded.data() + decoded;
            decoded += Align8(size_t(var.sqllen) * 4);
        }
    }
}

FirebirdCursor::~FirebirdCursor()
{
    if (FDone) return;
    try {
        FStatement->Commit();
    } catch (const std::exception&) {
        // The statement's transaction is rolled back instead; there is no
        // caller left to tell.
    }
}

void FirebirdCursor::Finish()
{
    FDone = true;
    FStatement->Commit();
}

bool FirebirdCursor::Next()
{
    if (FDone) return false;
    while (!FStatement->Fetch()) {
        if (FNextBatch == FLaterBatches.size()) {
            Finish();
            return false;
        }
        FStatement->Rerun(FLaterBatches[FNextBatch++]);
    }
    return true;
}

bool FirebirdCursor::IsNull(int index) const
{
    const Slot& s = FSlots[index];
    return s.Kind == Shape::Unknown || *s.Null < 0;
}

qint32 FirebirdCursor::GetInteger(int index) const
{
    const Slot& s = FSlots[index];
    if (s.Kind == Shape::Integer) {
        qint32 v;
        std::memcpy(&v, s.Data, sizeof v);
        return v;
    }
    return s.Kind == Shape::Double ? qint32(GetFloat(index)) : 0;
}

double FirebirdCursor::GetFloat(int index) const
{
    const Slot& s = FSlots[index];
    if (s.Kind == Shape::Double) {
        double v;
        std::memcpy(&v, s.Data, sizeof v);
        return v;
    }
    return s.Kind == Shape::Integer ? GetInteger(index) : 0.0;
}

QByteArrayView FirebirdCursor::GetText(int index) const
{
    const Slot& s = FSlots[index];
    const char* bytes;
    qsizetype length;
    if (s.Kind == Shape::Varying) {
        quint16 n;
        std::memcpy(&n, s.Data, sizeof n);
        bytes = s.Data + 2;
        length = n;
    } else if (s.Kind == Shape::Text) {
        bytes = s.Data;
        length = s.Length;
        if (FTrimChar)
            while (length > 0 && bytes[length - 1] == ' ')
                --length;
    } else {
        return QByteArrayView();
    }
    return s.Codec->Decode(bytes, length, s.Decoded);
}
