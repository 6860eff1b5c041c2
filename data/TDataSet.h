#pragma once

#include "TBookmark.h"
#include "TSet.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>
#include <functional>

class TDataLink;
class TDataSet;
class TDataSource;
class TField;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsSetKey };

enum class TDataEvent {
    deFieldChange,
    deRecordChange,
    deDataSetChange,
    deDataSetScroll,
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
    deFocusControl
};

enum class TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

using TDataSetNotifyEvent = std::function<void(TDataSet*)>;

// A cursor over rows in a shown order, with the usual state machine.
//
// Cursor: RecNo() is 1-based, 0 when the dataset is empty. Bof() is set after
// First() and after Prior() tried to move before the first row; Eof() after
// Last() and after Next() tried to move past the last one; both are set on an
// empty dataset. Moving off a row being edited posts it when it was modified
// and cancels the edit otherwise.
//
// Record windows: every data link has a window of BufferCount() rows. When the
// cursor moves, the dataset keeps the current row inside each window with the
// least scrolling, and tells the link how many rows the window scrolled.
//
// Storage is the subclass's: rows have stable ids, the shown order is a list
// of ids, and field values are read and written through the virtuals below.
class TDataSet : public QObject
{
public:
    explicit TDataSet(QObject* owner = nullptr);
    ~TDataSet() override;

    // Open/close. Open() raises AfterOpen after the rows are there.
    void Open();
    void Close();
    bool Active() const { return FState != TDataSetState::dsInactive; }
    void SetActive(bool active);
    TDataSetState State() const { return FState; }

    TDataSetNotifyEvent AfterOpen;
    TDataSetNotifyEvent AfterClose;
    TDataSetNotifyEvent AfterScroll;
    TDataSetNotifyEvent AfterPost;

    // Fields in declared order.
    const QList<TField*>& Fields() const { return FFields; }
    int FieldCount() const { return FFields.size(); }
    TField* FindField(const QString& name) const;
    // Fails with "<name>: Field '%s' not found".
    TField* FieldByName(const QString& name) const;

    // Cursor.
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves by distance rows, stopping at either end; returns the rows moved.
    int MoveBy(int distance);
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecNo() const;
    void SetRecNo(int recNo);
    int RecordCount() const;

    // Editing.
    void Edit();
    void Insert();
    void Append();
    void Post();
    void Cancel();
    void Delete();
    // Posts a modified edit, cancels an unmodified one.
    void CheckBrowseMode();
    bool Modified() const { return FModified; }
    virtual bool CanModify() const { return Active() && !FReadOnly; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    void Refresh();
    // Re-reads the record windows from the current row, keeping it on its
    // line of each window as far as there are rows above it (the top line
    // after an open).
    void Resync();
    // Brings an underlying engine cursor to the current row; nothing to do
    // for datasets that hold their rows.
    virtual void UpdateCursorPos() { }

    // Bookmarks. A null bookmark when there is no current row.
    TBookmark GetBookmark() const;
    // The bookmark of the row that fields read (ActivePosition()), so that a
    // data link can name every row of its window; null when there is none.
    TBookmark ActiveBookmark() const;
    void GotoBookmark(const TBookmark& bookmark);
    void FreeBookmark(TBookmark& bookmark) const { bookmark = TBookmark(); }
    bool BookmarkValid(const TBookmark& bookmark) const;
    // 0 for the same row, -1/1 by shown position; bookmarks that don't name
    // a row of this opening compare as different rows.
    int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

    // Moves to the first row in shown order whose key fields match; leaves
    // the cursor alone and returns false when none does. keyFields lists field
    // names separated by ';' with one value each in a QVariantList; an empty
    // list matches nothing.
    bool Locate(const QString& keyFields, const QVariant& keyValues, TLocateOptions options);

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // The row that fields read, as a position in the shown order; a data link
    // sets it to read another row of its window without moving the cursor.
    int ActivePosition() const { return FActivePosition; }
    void SetActivePosition(int position) { FActivePosition = position; }
    // The cursor's position in the shown order, -1 when empty.
    int CurrentPosition() const { return FCurrent; }

    // Serial of this opening; bookmarks carry it.
    quint64 OpenSerial() const { return FOpenSerial; }

    // Used by TDataSource/TDataLink/TField.
    void DataEvent(TDataEvent event, qintptr info = 0);
    void AddDataSource(TDataSource* source);
    void RemoveDataSource(TDataSource* source);
    void FieldValueChanged(TField* field);
    void FieldLayoutChanged();

    // Storage access for fields, at ActivePosition().
    bool FieldIsNull(const TField* field) const;
    qint32 FieldInteger(const TField* field) const;
    double FieldFloat(const TField* field) const;
    QString FieldString(const TField* field) const;
    void SetFieldValue(TField* field, const QVariant& value);

    // Prefixes a message with the component name, as "CDS_PRODUCT: ".
    QString WithName(const QString& message) const;
    [[noreturn]] void DatabaseError(const QString& message) const;

protected:
    // Subclass storage. Row ids are stable for one opening; the order is the
    // list of ids shown.
    virtual void InternalOpen() = 0;    // binds fields (FieldNo) and loads rows
    virtual void InternalClose() = 0;
    virtual int OrderCount() const = 0;
    virtual int RowAt(int position) const = 0;
    virtual int PositionOfRow(int rowId) const = 0; // -1 when not shown
    virtual bool RowIsNull(int rowId, int fieldNo) const = 0;
    virtual qint32 RowInteger(int rowId, int fieldNo) const = 0;
    virtual double RowFloat(int rowId, int fieldNo) const = 0;
    virtual QString RowString(int rowId, int fieldNo) const = 0;
    // Writes one value (null QVariant: null) into a row.
    virtual void SetRowValue(int rowId, int fieldNo, const QVariant& value) = 0;
    // A new row of nulls at the given position (OrderCount() appends).
    virtual int InternalInsertRow(int position) = 0;
    // Takes a row out of the shown order.
    virtual void InternalRemoveRow(int position) = 0;
    // Puts a posted row where the current order wants it; returns its position.
    virtual int InternalRowPosted(int position) { return position; }
    virtual void InternalRefresh() { }
    // The first position in shown order whose row matches every key (keys
    // already converted to the fields' kinds; a null key matches null), or -1.
    virtual int LocatePosition(const QList<const TField*>& fields, const QVariantList& keys,
                               TLocateOptions options) const;
    // A new opening: bookmarks of the previous one no longer apply.
    void NewOpening();

    void SetState(TDataSetState state);
    // After the subclass reordered or reloaded rows: cursor to position.
    void ResyncAt(int position);
    void AddField(TField* field);
    void RemoveField(TField* field);
    void MoveField(TField* field, int index);
    void ClearFieldNos();
    static void SetFieldNo(TField* field, int fieldNo);
    // Raises "Cannot perform this operation on a closed dataset".
    void CheckActive() const;

private:
    friend class TField;
    friend class TDataLink;

    void MoveTo(int position);
    int ReadRow() const;
    void CheckRequiredFields();
    void NotifyLinks(TDataEvent event, qintptr info);

    QList<TField*> FFields;
    QList<TDataSource*> FDataSources;
    TDataSetState FState = TDataSetState::dsInactive;
    int FCurrent = -1;
    int FActivePosition = -1;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;
    bool FReadOnly = false;
    int FDisableCount = 0;
    TDataEvent FEnableEvent = TDataEvent::deDataSetChange;
    TDataSetState FDisabledState = TDataSetState::dsInactive;
    // Edits go straight into the row; these values bring it back on Cancel.
    QList<QVariant> FOriginal;
    quint64 FSerial;
    quint64 FOpenSerial = 0;
};
