#include "TClientDataSet.h"

#include "Big5Codec.h"
#include "Exceptions.h"
#include "TDataSetProvider.h"
#include "TFloatField.h"
#include "TIntegerField.h"
#include "TSQLDriver.h"
#include "TStringField.h"

#include <algorithm>
#include <bit>
#include <cstring>

TClientDataSet::TClientDataSet(QObject* owner) : TDataSet(owner) {}

TClientDataSet::~TClientDataSet()
{
    Close();
}

namespace {
TField* MakeField(TFieldType type, QObject* owner)
{
    switch (type) {
    case TFieldType::ftInteger:
        return new TIntegerField(owner);
    case TFieldType::ftFloat:
        return new TFloatField(owner);
    default:
        return new TStringField(owner);
    }
}
} // namespace

// ---- open / close -------------------------------------------------------

void TClientDataSet::InternalOpen()
{
    if (!FProvider) {
        if (FFieldDefs.Count() == 0 && FieldCount() == 0)
            DatabaseError(QStringLiteral("Missing data provider or data packet"));
        CreateFieldsFromDefs();
        return;
    }
    std::unique_ptr<TSQLCursor> cursor = FProvider->OpenCursor(FCommandText, FParamBatches);
    try {
        Load(*cursor);
    } catch (...) {
        DestroyDefaultFields();
        ClearFieldNos();
        throw;
    }
}

void TClientDataSet::Load(TSQLCursor& cursor)
{
    std::vector<int> columnOfField;
    BindFields(cursor, columnOfField);
    QList<TFieldType> types;
    for (TField* field : Fields())
        types.append(field->DataType());
    // Filled aside, so that a fetch that fails keeps none of its rows.
    TRowStore store;
    store.Reset(types);

    const int fieldCount = FieldCount();
    std::vector<int> sourceColumn(fieldCount);
    for (int i = 0; i < fieldCount; ++i)
        sourceColumn[i] = columnOfField[i];
    while (cursor.Next()) {
        const int row = store.AddRow();
        for (int no = 0; no < fieldCount; ++no) {
            const int col = sourceColumn[no];
            if (cursor.IsNull(col))
                continue;
            switch (store.ColumnType(no)) {
            case TFieldType::ftInteger:
                store.SetInteger(row, no, cursor.GetInteger(col));
                break;
            case TFieldType::ftFloat:
                store.SetFloat(row, no, cursor.GetFloat(col));
                break;
            default:
                store.SetText(row, no, cursor.GetText(col));
            }
        }
    }
    FStore = std::move(store);
    FOrder.resize(FStore.RowCount());
    for (int i = 0; i < FStore.RowCount(); ++i)
        FOrder[i] = i;
    ApplyIndex();
}

void TClientDataSet::BindFields(const TSQLCursor& cursor, std::vector<int>& columnOfField)
{
    if (FieldCount() == 0) {
        for (int col = 0; col < cursor.ColumnCount(); ++col) {
            const TSQLColumn& column = cursor.Column(col);
            TField* field = MakeField(column.DataType, this);
            field->SetFieldName(column.Name);
            if (column.DataType == TFieldType::ftString)
                field->SetSize(column.Size > 0 ? column.Size : 20);
            field->SetDataSet(this);
            FDefaultFields.append(field);
        }
    }
    columnOfField.assign(FieldCount(), -1);
    for (int i = 0; i < FieldCount(); ++i) {
        TField* field = Fields()[i];
        int found = -1;
        for (int col = 0; col < cursor.ColumnCount() && found < 0; ++col)
            if (cursor.Column(col).Name.compare(field->FieldName(), Qt::CaseInsensitive) == 0)
                found = col;
        if (found < 0)
            DatabaseError(QStringLiteral("Field '%1' not found").arg(field->DisplayName()));
        const TFieldType actual = cursor.Column(found).DataType;
        if (actual != field->DataType())
            DatabaseError(QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                              .arg(field->DisplayName(), QLatin1String(FieldTypeName(field->DataType())),
                                   QLatin1String(FieldTypeName(actual))));
        columnOfField[i] = found;
    }
    for (int i = 0; i < FieldCount(); ++i)
        SetFieldNo(Fields()[i], i);
}

void TClientDataSet::CreateDataSet()
{
    Close();
    const QPointer<TDataSetProvider> provider = FProvider;
    FProvider = nullptr;
    struct Restore
    {
        QPointer<TDataSetProvider>& target;
        QPointer<TDataSetProvider> value;
        ~Restore() { target = value; }
    } restore{FProvider, provider};
    Open();
}

void TClientDataSet::CreateFieldsFromDefs()
{
    if (FieldCount() == 0) {
        for (int i = 0; i < FFieldDefs.Count(); ++i) {
            const TFieldDef& def = FFieldDefs[i];
            TField* field = MakeField(def.DataType, this);
            field->SetFieldName(def.Name);
            field->SetRequired(def.Required);
            if (def.DataType == TFieldType::ftString)
                field->SetSize(def.Size > 0 ? def.Size : 20);
            field->SetDataSet(this);
            FDefaultFields.append(field);
        }
    }
    QList<TFieldType> types;
    for (int i = 0; i < FieldCount(); ++i) {
        types.append(Fields()[i]->DataType());
        SetFieldNo(Fields()[i], i);
    }
    FStore.Reset(types);
    FOrder.clear();
    ApplyIndex();
}

void TClientDataSet::InternalClose()
{
    FStore.Reset({});
    FOrder.clear();
    FPositions.clear();
    FPositionsValid = false;
    FIndexFields.clear();
    FSortKeys.clear();
    DestroyDefaultFields();
}

void TClientDataSet::DestroyDefaultFields()
{
    const auto fields = FDefaultFields;
    FDefaultFields.clear();
    qDeleteAll(fields);
}

void TClientDataSet::InternalRefresh()
{
    if (!FProvider)
        return;
    std::unique_ptr<TSQLCursor> cursor = FProvider->OpenCursor(FCommandText, FParamBatches);
    NewOpening();
    Load(*cursor);
}

// ---- order --------------------------------------------------------------

void TClientDataSet::SetIndexFieldNames(const QString& names)
{
    if (!Active()) {
        FIndexFieldNames = names;
        return;
    }
    CheckBrowseMode();
    const int row = CurrentPosition() >= 0 ? RowAt(CurrentPosition()) : -1;
    const QString previous = FIndexFieldNames;
    FIndexFieldNames = names;
    try {
        ApplyIndex();
    } catch (...) {
        FIndexFieldNames = previous;
        ApplyIndex();
        throw;
    }
    ResyncAt(row >= 0 ? PositionOfRow(row) : 0);
}

void TClientDataSet::TSortKeys::Set(int row, QByteArrayView utf8)
{
    if (std::size_t(row) >= At.size()) {
        At.resize(row + 1);
        Length.resize(row + 1);
    }
    const std::size_t start = Bytes.size();
    Big5Codec::AppendSortKey(utf8, Bytes);
    if (Bytes.size() > UINT32_MAX) throw EDatabaseError(QStringLiteral("Too much text to sort"));
    At[row] = std::uint32_t(start);
    Length[row] = std::uint32_t(Bytes.size() - start);
}

void TClientDataSet::ComputeSortKeys(int row)
{
    for (int i = 0; i < FIndexFields.size(); ++i) {
        const int no = FIndexFields[i]->FieldNo();
        if (FStore.ColumnType(no) == TFieldType::ftString)
            FSortKeys[i].Set(row, FStore.Text(row, no));
    }
}

void TClientDataSet::ApplyIndex()
{
    FIndexFields.clear();
    FSortKeys.clear();
    OrderChanged();
    const QStringList names = FIndexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& name : names)
        FIndexFields.append(FieldByName(name.trimmed()));
    if (FIndexFields.isEmpty()) {
        // Without an index the rows stand in fetch order.
        std::sort(FOrder.begin(), FOrder.end());
        return;
    }
    // Converting once per row, not at every comparison, and deciding most
    // comparisons on the first field's leading key held beside the row id,
    // keeps a sort of 100,000 rows within a title click.
    FSortKeys.resize(FIndexFields.size());
    for (int row : FOrder)
        ComputeSortKeys(row);
    const int first = FIndexFields[0]->FieldNo();
    std::vector<TSortEntry> entries;
    entries.reserve(FOrder.size());
    const bool text = FStore.ColumnType(first) == TFieldType::ftString;
    for (int row : FOrder) {
        const std::uint32_t length = text ? FSortKeys[0].Length[row] : 0;
        entries.push_back({LeadingKey(row), row, FStore.IsNull(row, first),
                           std::uint8_t(std::min<std::uint32_t>(length, 255))});
    }
    const bool oneField = FIndexFields.size() == 1;
    std::sort(entries.begin(), entries.end(), [&](const TSortEntry& a, const TSortEntry& b) {
        if (a.Null != b.Null) return a.Null;
        if (a.Leading != b.Leading) return a.Leading < b.Leading;
        // Equal whole values: fetch order, unless more fields follow.
        if (oneField && !a.Null && a.Length == b.Length && a.Length <= 8) return a.Row < b.Row;
        return RowLess(a.Row, b.Row);
    });
    for (std::size_t i = 0; i < entries.size(); ++i)
        FOrder[i] = entries[i].Row;
}

std::uint64_t TClientDataSet::LeadingKey(int row) const
{
    // Order-preserving: a larger value gives a larger number.
    const int no = FIndexFields[0]->FieldNo();
    if (FStore.IsNull(row, no)) return 0;
    switch (FStore.ColumnType(no)) {
    case TFieldType::ftInteger:
        return std::uint64_t(std::int64_t(FStore.Integer(row, no)) - std::int64_t(INT32_MIN));
    case TFieldType::ftFloat: {
        // -0 and 0 are equal, and so keep their fetch order.
        const double value = FStore.Float(row, no);
        const auto bits = std::bit_cast<std::uint64_t>(value == 0 ? 0.0 : value);
        return bits >> 63 ? ~bits : bits | (std::uint64_t(1) << 63);
    }
    default: {
        // The first eight bytes of the sort key, big-endian; longer keys
        // that share them are told apart by RowLess.
        const QByteArrayView key = FSortKeys[0].Key(row);
        std::uint64_t leading = 0;
        for (qsizetype i = 0; i < 8; ++i)
            leading = leading << 8 | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0);
        return leading;
    }
    }
}

bool TClientDataSet::RowLess(int a, int b) const
{
    for (int i = 0; i < FIndexFields.size(); ++i) {
        const int no = FIndexFields[i]->FieldNo();
        const bool aNull = FStore.IsNull(a, no);
        const bool bNull = FStore.IsNull(b, no);
        if (aNull || bNull) {
            if (aNull != bNull)
                return aNull;
            continue;
        }
        int c = 0;
        switch (FStore.ColumnType(no)) {
        case TFieldType::ftInteger: {
            const qint32 x = FStore.Integer(a, no), y = FStore.Integer(b, no);
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        case TFieldType::ftFloat: {
            const double x = FStore.Float(a, no), y = FStore.Float(b, no);
            c = x < y ? -1 : (x > y ? 1 : 0);
            break;
        }
        default: {
            const QByteArrayView x = FSortKeys[i].Key(a), y = FSortKeys[i].Key(b);
            c = std::memcmp(x.data(), y.data(), std::min(x.size(), y.size()));
            if (c == 0)
                c = x.size() < y.size() ? -1 : (x.size() > y.size() ? 1 : 0);
        }
        }
        if (c != 0)
            return c < 0;
    }
    return a < b;
}

int TClientDataSet::PositionOfRow(int rowId) const
{
    if (rowId < 0 || rowId >= FStore.RowCount())
        return -1;
    if (!FPositionsValid) {
        FPositions.assign(FStore.RowCount(), -1);
        for (int i = 0; i < int(FOrder.size()); ++i)
            FPositions[FOrder[i]] = i;
        FPositionsValid = true;
    }
    return FPositions[rowId];
}

// ---- rows ---------------------------------------------------------------

bool TClientDataSet::RowIsNull(int rowId, int fieldNo) const { return FStore.IsNull(rowId, fieldNo); }

qint32 TClientDataSet::RowInteger(int rowId, int fieldNo) const
{
    return FStore.Integer(rowId, fieldNo);
}

double TClientDataSet::RowFloat(int rowId, int fieldNo) const { return FStore.Float(rowId, fieldNo); }

QString TClientDataSet::RowString(int rowId, int fieldNo) const
{
    return FStore.String(rowId, fieldNo);
}

void TClientDataSet::SetRowValue(int rowId, int fieldNo, const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        FStore.SetNull(rowId, fieldNo);
        return;
    }
    switch (FStore.ColumnType(fieldNo)) {
    case TFieldType::ftInteger:
        FStore.SetInteger(rowId, fieldNo, value.toInt());
        break;
    case TFieldType::ftFloat:
        FStore.SetFloat(rowId, fieldNo, value.toDouble());
        break;
    default:
        FStore.SetText(rowId, fieldNo, value.toString().toUtf8());
    }
}

int TClientDataSet::InternalInsertRow(int position)
{
    const int row = FStore.AddRow();
    FOrder.insert(FOrder.begin() + position, row);
    OrderChanged();
    return row;
}

void TClientDataSet::InternalRemoveRow(int position)
{
    FOrder.erase(FOrder.begin() + position);
    OrderChanged();
}

int TClientDataSet::InternalRowPosted(int position)
{
    if (FIndexFields.isEmpty())
        return position;
    const int row = FOrder[position];
    ComputeSortKeys(row);
    FOrder.erase(FOrder.begin() + position);
    const auto at = std::lower_bound(FOrder.begin(), FOrder.end(), row,
                                     [this](int a, int b) { return RowLess(a, b); });
    const int target = int(at - FOrder.begin());
    FOrder.insert(at, row);
    OrderChanged();
    return target;
}

// ---- locate -------------------------------------------------------------

namespace {
inline unsigned char FoldAscii(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool HasCasedNonAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80 && (c.toLower() != c || c.toUpper() != c))
            return true;
    return false;
}
} // namespace

int TClientDataSet::LocatePosition(const QList<const TField*>& fields, const QVariantList& keys,
                                   TLocateOptions options) const
{
    // The common search, one text field, runs on the stored UTF-8 bytes;
    // letters outside ASCII that have a case go the general way.
    const bool caseInsensitive = options.Contains(TLocateOption::loCaseInsensitive);
    if (fields.size() != 1 || fields[0]->DataType() != TFieldType::ftString
        || (caseInsensitive && HasCasedNonAscii(keys[0].toString())))
        return TDataSet::LocatePosition(fields, keys, options);

    const int no = fields[0]->FieldNo();
    const QByteArray key = keys[0].toString().toUtf8();
    const bool partial = options.Contains(TLocateOption::loPartialKey);
    const auto* k = reinterpret_cast<const unsigned char*>(key.constData());
    const qsizetype keyLength = key.size();
    const int count = OrderCount();
    for (int position = 0; position < count; ++position) {
        const QByteArrayView text = FStore.Text(FOrder[position], no);
        if (text.size() < keyLength || (!partial && text.size() != keyLength))
            continue;
        const auto* t = reinterpret_cast<const unsigned char*>(text.data());
        qsizetype i = 0;
        if (caseInsensitive)
            while (i < keyLength && FoldAscii(t[i]) == FoldAscii(k[i]))
                ++i;
        else
            i = std::memcmp(t, k, keyLength) == 0 ? keyLength : 0;
        if (i == keyLength)
            return position;
    }
    return -1;
}
