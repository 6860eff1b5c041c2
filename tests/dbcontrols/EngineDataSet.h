#pragma once

#include "TDataLink.h"
#include "TField.h"
#include "TIntegerField.h"
#include "TQuery.h"
#include "TStringField.h"

#include <QList>
#include <QPair>
#include <QPointer>
#include <memory>

// A database table that several users share: rows of a key and a name.
struct SharedTable {
    QList<QPair<int, QString>> Rows;
    static std::shared_ptr<SharedTable> Make(int count)
    {
        auto table = std::make_shared<SharedTable>();
        for (int key = 1; key <= count; ++key)
            table->Rows.append({key, QStringLiteral("p%1").arg(key)});
        return table;
    }
    // Another user deletes rows.
    void Delete(std::initializer_list<int> keys)
    {
        for (int key : keys)
            Rows.removeIf([key](const auto& row) { return row.first == key; });
    }
};

struct TEngineCursor {
    int Position = -1; // in the rows the cursor holds
};

// An engine dataset over a shared table, in the manner of the engine: its
// cursor holds a copy of the table's rows taken at open (or at a re-read),
// rows are named by their keys, so bookmarks compare by key across
// openings, and the record buffers are those of one grid.
template <typename Base> class EngineDataSet : public Base
{
public:
    explicit EngineDataSet(std::shared_ptr<SharedTable> table) : FTable(std::move(table))
    {
        auto* id = new TIntegerField(this);
        id->SetFieldName(QStringLiteral("ID"));
        id->SetDataSet(this);
        auto* name = new TStringField(this);
        name->SetFieldName(QStringLiteral("NAME"));
        name->SetSize(20);
        name->SetDataSet(this);
    }

    // The grid whose record buffers the engine keeps.
    TDataLink* Grid = nullptr;
    bool CanReread = false;
    bool FailOpen = false;
    int Opens = 0, Preliminaries = 0, Rereads = 0, CursorUpdates = 0;
    bool PreliminaryWithControlsDisabled = false;
    bool CursorUpdatedWithControlsDisabled = false;
    QList<int> Positionings; // keys asked for

    int Key() const { return this->FieldByName(QStringLiteral("ID"))->AsInteger(); }

    TEngineCursor* Handle() const override
    {
        return this->Active() ? const_cast<TEngineCursor*>(&FCursor) : nullptr;
    }
    int ActiveRecord() const override { return Grid ? Grid->ActiveRecord() : 0; }

    int EnginePreliminary() override
    {
        ++Preliminaries;
        PreliminaryWithControlsDisabled = this->ControlsDisabled();
        return 0;
    }
    void UpdateCursorPos() override
    {
        ++CursorUpdates;
        CursorUpdatedWithControlsDisabled = this->ControlsDisabled();
        FCursor.Position = this->CurrentPosition();
    }
    int RereadCursor(TEngineCursor* cursor) override
    {
        if (cursor != &FCursor) return NotACursor;
        ++Rereads;
        if (!CanReread || cursor->Position < 0) return NotSupported;
        // The cursor stays on its row, or on the one that took its place.
        const int key = FRows[cursor->Position].first;
        FRows = FTable->Rows;
        int position = 0;
        while (position < FRows.size() - 1 && FRows[position].first < key)
            ++position;
        cursor->Position = position;
        this->ResyncAt(position);
        return 0;
    }
    int PositionOnBookmark(TEngineCursor* cursor, const TBookmark& bookmark) override
    {
        if (cursor != &FCursor) return NotACursor;
        Positionings << bookmark.RowId;
        const int position = PositionOfRow(bookmark.RowId);
        if (position < 0) return RecordNotFound;
        cursor->Position = position;
        this->ResyncAt(position);
        return 0;
    }

protected:
    static constexpr int NotACursor = 0x2701;
    static constexpr int NotSupported = 0x3E05;
    static constexpr int RecordNotFound = 0x2205;

    void InternalOpen() override
    {
        ++Opens;
        if (FailOpen) this->DatabaseError(QStringLiteral("connection lost"));
        FRows = FTable->Rows;
        for (int i = 0; i < this->FieldCount(); ++i)
            Base::SetFieldNo(this->Fields()[i], i);
        FCursor.Position = FRows.isEmpty() ? -1 : 0;
    }
    void InternalClose() override
    {
        FRows.clear();
        FCursor.Position = -1;
    }
    int OrderCount() const override { return int(FRows.size()); }
    int RowAt(int position) const override { return FRows[position].first; }
    int PositionOfRow(int rowId) const override
    {
        for (int i = 0; i < FRows.size(); ++i)
            if (FRows[i].first == rowId) return i;
        return -1;
    }
    bool RowIsNull(int, int) const override { return false; }
    qint32 RowInteger(int rowId, int) const override { return rowId; }
    double RowFloat(int rowId, int) const override { return rowId; }
    QString RowString(int rowId, int) const override { return FRows[PositionOfRow(rowId)].second; }
    void SetRowValue(int rowId, int fieldNo, const QVariant& value) override
    {
        if (fieldNo == 1) FRows[PositionOfRow(rowId)].second = value.toString();
    }
    int InternalInsertRow(int position) override
    {
        int key = 0;
        for (const auto& row : FTable->Rows)
            key = qMax(key, row.first);
        FRows.insert(position, {key + 1, QString()});
        return key + 1;
    }
    void InternalRemoveRow(int position) override { FRows.removeAt(position); }

private:
    std::shared_ptr<SharedTable> FTable;
    QList<QPair<int, QString>> FRows;
    TEngineCursor FCursor;
};

using EngineTable = EngineDataSet<TBDEDataSet>;
using EngineQuery = EngineDataSet<TQuery>;
