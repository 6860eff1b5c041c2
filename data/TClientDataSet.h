#pragma once

#include "TDataSet.h"
#include "TDataSetProvider.h"
#include "TFieldDefs.h"
#include "TRowStore.h"

#include <QPointer>
#include <string>
#include <vector>

class TSQLCursor;

// An in-memory dataset. Opened over a provider it fetches every row of the
// statement at once, straight into typed columns; without a provider,
// CreateDataSet makes an empty table from FieldDefs.
//
// Fields: declared fields bind to the statement's columns by name (any
// order; extra columns are not kept). A declared field without a column, or
// of another kind, fails the open and the dataset stays closed. Without
// declared fields, one default field per column is made at open and
// destroyed at close.
//
// Order: IndexFieldNames (field names separated by ';') sorts the rows
// ascending, nulls first, ties in fetch order; it is kept across opens. Text
// sorts by its Big5 (CP950) bytes, the order its readers expect (統一 before
// 新東陽); text with a character outside Big5 follows, in code point order.
class TClientDataSet : public TDataSet
{
public:
    explicit TClientDataSet(QObject* owner = nullptr);
    ~TClientDataSet() override;

    TDataSetProvider* Provider() const { return FProvider; }
    void SetProvider(TDataSetProvider* provider) { FProvider = provider; }
    QString CommandText() const { return FCommandText; }
    // A new text comes without parameter batches.
    void SetCommandText(const QString& text)
    {
        FCommandText = text;
        FParamBatches.clear();
    }
    // Values for the '?' of CommandText, a list per run: opening prepares the
    // statement once, runs it for each list in turn and keeps the rows of
    // every run as one result; AfterOpen runs once, after the last. A run
    // that fails fails the open, and no row of the earlier runs stays. They
    // go to the provider with CommandText, so an empty text keeps the
    // statement run last with its batches.
    const TSQLParamBatches& ParamBatches() const { return FParamBatches; }
    void SetParamBatches(const TSQLParamBatches& batches) { FParamBatches = batches; }
    // Rows per packet; every opening fetches all rows whatever it holds.
    int PacketRecords() const { return FPacketRecords; }
    void SetPacketRecords(int count) { FPacketRecords = count; }

    TFieldDefs& FieldDefs() { return FFieldDefs; }
    TIndexDefs& IndexDefs() { return FIndexDefs; }
    void CreateDataSet();

    QString IndexFieldNames() const { return FIndexFieldNames; }
    // Reorders at once when open, keeping the current row.
    void SetIndexFieldNames(const QString& names);

    // Bytes held by the rows, for the memory figures of the benchmarks.
    std::size_t DataSize() const { return FStore.ByteSize(); }

protected:
    void InternalOpen() override;
    void InternalClose() override;
    int OrderCount() const override { return int(FOrder.size()); }
    int RowAt(int position) const override { return FOrder[position]; }
    int PositionOfRow(int rowId) const override;
    bool RowIsNull(int rowId, int fieldNo) const override;
    qint32 RowInteger(int rowId, int fieldNo) const override;
    double RowFloat(int rowId, int fieldNo) const override;
    QString RowString(int rowId, int fieldNo) const override;
    void SetRowValue(int rowId, int fieldNo, const QVariant& value) override;
    int InternalInsertRow(int position) override;
    void InternalRemoveRow(int position) override;
    int InternalRowPosted(int position) override;
    void InternalRefresh() override;
    int LocatePosition(const QList<const TField*>& fields, const QVariantList& keys,
                       TLocateOptions options) const override;

private:
    void Load(TSQLCursor& cursor);
    void BindFields(const TSQLCursor& cursor, std::vector<int>& columnOfField);
    void CreateFieldsFromDefs();
    void DestroyDefaultFields();
    // The Big5 sort keys of one text index field, by row id, computed once
    // per ordering and again for a row when it is posted.
    struct TSortKeys {
        std::vector<std::uint32_t> At;
        std::vector<std::uint32_t> Length;
        std::string Bytes;
        void Set(int row, QByteArrayView utf8);
        QByteArrayView Key(int row) const
        {
            return QByteArrayView(Bytes.data() + At[row], Length[row]);
        }
    };

    // A row in the sort: the first index field's value, or the leading bytes
    // of its text's key, as one number; Length: of that key (0 for numbers,
    // at most 255), so that a key of up to eight bytes is known whole.
    struct TSortEntry {
        std::uint64_t Leading;
        int Row;
        bool Null;
        std::uint8_t Length;
    };

    void ApplyIndex();
    void ComputeSortKeys(int row);
    std::uint64_t LeadingKey(int row) const;
    bool RowLess(int a, int b) const;
    void OrderChanged() { FPositionsValid = false; }

    QPointer<TDataSetProvider> FProvider;
    QString FCommandText;
    TSQLParamBatches FParamBatches;
    int FPacketRecords = -1;
    TFieldDefs FFieldDefs;
    TIndexDefs FIndexDefs;
    QString FIndexFieldNames;
    QList<TField*> FIndexFields;
    std::vector<TSortKeys> FSortKeys; // one per index field, empty for numbers
    QList<TField*> FDefaultFields;
    TRowStore FStore;
    std::vector<int> FOrder;
    mutable std::vector<int> FPositions;
    mutable bool FPositionsValid = false;
};
