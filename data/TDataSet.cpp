#include "TDataSet.h"

#include "Exceptions.h"
#include "TDataLink.h"
#include "TDataSource.h"
#include "TField.h"

#include <atomic>

namespace {
// Never reused, so a bookmark can't outlive its dataset into another one that
// happens to get the same address.
std::atomic<quint64> NextSerial{1};

QString FieldNotFound(const QString& name)
{
    return QStringLiteral("Field '%1' not found").arg(name);
}
} // namespace

TDataSet::TDataSet(QObject* owner) : QObject(owner), FSerial(NextSerial++) {}

TDataSet::~TDataSet()
{
    // Links must not see a half-destroyed dataset.
    const auto sources = FDataSources;
    for (TDataSource* source : sources)
        source->SetDataSet(nullptr);
    for (TField* field : std::as_const(FFields))
        field->FDataSet = nullptr;
}

QString TDataSet::WithName(const QString& message) const
{
    return objectName().isEmpty() ? message : objectName() + QStringLiteral(": ") + message;
}

void TDataSet::DatabaseError(const QString& message) const
{
    throw EDatabaseError(WithName(message));
}

void TDataSet::CheckActive() const
{
    if (!Active())
        DatabaseError(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

// ---- open / close -------------------------------------------------------

void TDataSet::Open()
{
    if (Active())
        return;
    InternalOpen(); // may throw: the dataset stays closed
    FOpenSerial = NextSerial++;
    FModified = false;
    FCurrent = OrderCount() > 0 ? 0 : -1;
    FActivePosition = FCurrent;
    FBOF = true;
    FEOF = FCurrent < 0;
    for (TDataSource* source : std::as_const(FDataSources))
        for (TDataLink* link : source->FDataLinks)
            link->FFirstRecord = link->FLine = 0;
    SetState(TDataSetState::dsBrowse);
    if (AfterOpen)
        AfterOpen(this);
}

void TDataSet::Close()
{
    if (!Active())
        return;
    if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert)
        Cancel();
    SetState(TDataSetState::dsInactive);
    InternalClose();
    ClearFieldNos();
    FCurrent = FActivePosition = -1;
    FBOF = FEOF = true;
    if (AfterClose)
        AfterClose(this);
}

void TDataSet::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

void TDataSet::SetState(TDataSetState state)
{
    if (FState == state)
        return;
    FState = state;
    DataEvent(TDataEvent::deUpdateState);
}

void TDataSet::ClearFieldNos()
{
    for (TField* field : std::as_const(FFields))
        field->FFieldNo = -1;
}

// ---- fields -------------------------------------------------------------

void TDataSet::SetFieldNo(TField* field, int fieldNo) { field->FFieldNo = fieldNo; }

void TDataSet::AddField(TField* field)
{
    FFields.append(field);
    field->FDataSet = this;
}

void TDataSet::RemoveField(TField* field)
{
    FFields.removeOne(field);
    field->FDataSet = nullptr;
}

void TDataSet::MoveField(TField* field, int index)
{
    const int from = FFields.indexOf(field);
    index = qBound(0, index, FFields.size() - 1);
    if (from < 0 || from == index)
        return;
    FFields.move(from, index);
    FieldLayoutChanged();
}

void TDataSet::FieldLayoutChanged()
{
    if (Active())
        DataEvent(TDataEvent::deLayoutChange);
}

TField* TDataSet::FindField(const QString& name) const
{
    for (TField* field : FFields)
        if (field->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return field;
    return nullptr;
}

TField* TDataSet::FieldByName(const QString& name) const
{
    TField* field = FindField(name);
    if (!field)
        DatabaseError(FieldNotFound(name));
    return field;
}

// ---- cursor -------------------------------------------------------------

int TDataSet::RecordCount() const { return Active() ? OrderCount() : 0; }

int TDataSet::RecNo() const { return Active() && FCurrent >= 0 ? FCurrent + 1 : 0; }

void TDataSet::SetRecNo(int recNo)
{
    CheckActive();
    if (recNo < 1 || recNo > OrderCount())
        return;
    CheckBrowseMode();
    // As GotoBookmark: a row was found, so neither end was hit.
    FBOF = FEOF = false;
    MoveTo(recNo - 1);
}

void TDataSet::MoveTo(int position)
{
    FCurrent = position;
    FActivePosition = position;
    DataEvent(TDataEvent::deDataSetScroll);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::First()
{
    CheckActive();
    CheckBrowseMode();
    const int count = OrderCount();
    FBOF = true;
    FEOF = count == 0;
    if (count > 0)
        MoveTo(0);
}

void TDataSet::Last()
{
    CheckActive();
    CheckBrowseMode();
    const int count = OrderCount();
    FEOF = true;
    FBOF = count == 0;
    if (count > 0)
        MoveTo(count - 1);
}

void TDataSet::Next() { MoveBy(1); }

void TDataSet::Prior() { MoveBy(-1); }

int TDataSet::MoveBy(int distance)
{
    CheckActive();
    CheckBrowseMode();
    const int count = OrderCount();
    if (count == 0) {
        FBOF = FEOF = true;
        return 0;
    }
    if (distance == 0)
        return 0;
    int target = FCurrent + distance;
    const bool wasBof = FBOF;
    const bool wasEof = FEOF;
    FBOF = FEOF = false;
    if (target >= count) {
        target = count - 1;
        FEOF = true;
    } else if (target < 0) {
        target = 0;
        FBOF = true;
    }
    const int moved = target - FCurrent;
    if (moved != 0)
        MoveTo(target);
    else if (FBOF != wasBof || FEOF != wasEof)
        // Controls that follow BOF/EOF (navigation buttons) must hear that
        // an end was reached even though no row moved.
        DataEvent(TDataEvent::deDataSetScroll);
    return moved;
}

void TDataSet::Resync() { ResyncAt(FCurrent); }

void TDataSet::ResyncAt(int position)
{
    const int count = OrderCount();
    FCurrent = count == 0 ? -1 : qBound(0, position, count - 1);
    FActivePosition = FCurrent;
    // A re-read keeps the current row on its line of every window, as far as
    // there are rows above it.
    for (TDataSource* source : std::as_const(FDataSources))
        for (TDataLink* link : source->FDataLinks)
            link->FFirstRecord = FCurrent - link->FLine;
    FBOF = FCurrent <= 0;
    FEOF = count == 0;
    DataEvent(TDataEvent::deDataSetChange);
}

// ---- editing ------------------------------------------------------------

int TDataSet::ReadRow() const
{
    if (FActivePosition < 0 || FActivePosition >= OrderCount())
        return -1;
    return RowAt(FActivePosition);
}

void TDataSet::Edit()
{
    CheckActive();
    if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert)
        return;
    if (OrderCount() == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    if (!CanModify())
        DatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    FOriginal.clear();
    for (TField* field : std::as_const(FFields)) {
        const int no = field->FFieldNo;
        if (no < 0)
            continue;
        if (FOriginal.size() <= no)
            FOriginal.resize(no + 1);
        FOriginal[no] = field->Value();
    }
    FModified = false;
    SetState(TDataSetState::dsEdit);
    DataEvent(TDataEvent::deRecordChange, 0);
}

void TDataSet::Insert()
{
    CheckActive();
    CheckBrowseMode();
    if (!CanModify())
        DatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    const int position = FCurrent < 0 ? 0 : FCurrent;
    InternalInsertRow(position);
    FModified = false;
    FCurrent = FActivePosition = position;
    FBOF = FEOF = false;
    SetState(TDataSetState::dsInsert);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::Append()
{
    CheckActive();
    CheckBrowseMode();
    if (!CanModify())
        DatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    const int position = OrderCount();
    InternalInsertRow(position);
    FModified = false;
    FCurrent = FActivePosition = position;
    FBOF = false;
    FEOF = true;
    SetState(TDataSetState::dsInsert);
    DataEvent(TDataEvent::deDataSetChange);
}

void TDataSet::CheckRequiredFields()
{
    for (TField* field : std::as_const(FFields))
        if (field->Required() && !field->ReadOnly() && field->FFieldNo >= 0 && field->IsNull())
            throw EDatabaseError(
                QStringLiteral("Field '%1' must have a value").arg(field->DisplayName()));
}

void TDataSet::Post()
{
    CheckActive();
    if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert)
        return;
    DataEvent(TDataEvent::deUpdateRecord);
    FActivePosition = FCurrent;
    CheckRequiredFields();
    const int position = InternalRowPosted(FCurrent);
    FOriginal.clear();
    FModified = false;
    FCurrent = FActivePosition = position;
    SetState(TDataSetState::dsBrowse);
    ResyncAt(FCurrent);
    if (AfterPost)
        AfterPost(this);
}

void TDataSet::Cancel()
{
    if (FState == TDataSetState::dsInsert) {
        InternalRemoveRow(FCurrent);
        if (FCurrent >= OrderCount())
            FCurrent = OrderCount() - 1;
    } else if (FState == TDataSetState::dsEdit) {
        const int row = RowAt(FCurrent);
        for (int no = 0; no < FOriginal.size(); ++no)
            SetRowValue(row, no, FOriginal[no]);
    } else {
        return;
    }
    FOriginal.clear();
    FModified = false;
    SetState(TDataSetState::dsBrowse);
    ResyncAt(FCurrent);
}

void TDataSet::CheckBrowseMode()
{
    CheckActive();
    DataEvent(TDataEvent::deCheckBrowseMode);
    if (FState == TDataSetState::dsEdit || FState == TDataSetState::dsInsert) {
        DataEvent(TDataEvent::deUpdateRecord);
        if (FModified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::Delete()
{
    CheckActive();
    if (FState == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (OrderCount() == 0)
        DatabaseError(QStringLiteral("Cannot perform this operation on an empty dataset"));
    if (!CanModify())
        DatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
    if (FState == TDataSetState::dsEdit) {
        FOriginal.clear();
        FModified = false;
        SetState(TDataSetState::dsBrowse);
    }
    InternalRemoveRow(FCurrent);
    ResyncAt(FCurrent);
    FEOF = FCurrent < 0 || OrderCount() == 0;
}

void TDataSet::Refresh()
{
    CheckActive();
    CheckBrowseMode();
    InternalRefresh();
    ResyncAt(FCurrent);
}

// ---- field values -------------------------------------------------------

bool TDataSet::FieldIsNull(const TField* field) const
{
    const int row = ReadRow();
    return row < 0 || field->FFieldNo < 0 || RowIsNull(row, field->FFieldNo);
}

qint32 TDataSet::FieldInteger(const TField* field) const
{
    return FieldIsNull(field) ? 0 : RowInteger(ReadRow(), field->FFieldNo);
}

double TDataSet::FieldFloat(const TField* field) const
{
    return FieldIsNull(field) ? 0.0 : RowFloat(ReadRow(), field->FFieldNo);
}

QString TDataSet::FieldString(const TField* field) const
{
    return FieldIsNull(field) ? QString() : RowString(ReadRow(), field->FFieldNo);
}

void TDataSet::SetFieldValue(TField* field, const QVariant& value)
{
    if (FState != TDataSetState::dsEdit && FState != TDataSetState::dsInsert)
        DatabaseError(QStringLiteral("Dataset not in edit or insert mode"));
    if (field->FFieldNo < 0)
        DatabaseError(FieldNotFound(field->DisplayName()));
    SetRowValue(RowAt(FCurrent), field->FFieldNo, value);
    FModified = true;
    FieldValueChanged(field);
}

void TDataSet::FieldValueChanged(TField* field)
{
    DataEvent(TDataEvent::deFieldChange, reinterpret_cast<qintptr>(field));
}

// ---- bookmarks ----------------------------------------------------------

TBookmark TDataSet::GetBookmark() const
{
    if (!Active() || FCurrent < 0)
        return {};
    return {FSerial, FOpenSerial, RowAt(FCurrent)};
}

TBookmark TDataSet::ActiveBookmark() const
{
    if (!Active() || FActivePosition < 0 || FActivePosition >= OrderCount())
        return {};
    return {FSerial, FOpenSerial, RowAt(FActivePosition)};
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const
{
    return Active() && bookmark.DataSetSerial == FSerial && bookmark.OpenSerial == FOpenSerial
           && PositionOfRow(bookmark.RowId) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark)
{
    CheckActive();
    if (!BookmarkValid(bookmark))
        DatabaseError(QStringLiteral("Record not found"));
    CheckBrowseMode();
    const int position = PositionOfRow(bookmark.RowId);
    FBOF = FEOF = false;
    MoveTo(position);
}

int TDataSet::CompareBookmarks(const TBookmark& a, const TBookmark& b) const
{
    const bool aValid = BookmarkValid(a);
    const bool bValid = BookmarkValid(b);
    if (!aValid || !bValid) {
        if (a.IsNull() && b.IsNull())
            return 0;
        return a.IsNull() ? -1 : 1;
    }
    if (a.RowId == b.RowId)
        return 0;
    return PositionOfRow(a.RowId) < PositionOfRow(b.RowId) ? -1 : 1;
}

// ---- locate -------------------------------------------------------------

int TDataSet::LocatePosition(const QList<const TField*>& fields, const QVariantList& keys,
                             TLocateOptions options) const
{
    const Qt::CaseSensitivity cs = options.Contains(TLocateOption::loCaseInsensitive)
                                       ? Qt::CaseInsensitive
                                       : Qt::CaseSensitive;
    const bool partial = options.Contains(TLocateOption::loPartialKey);
    const int count = OrderCount();
    for (int position = 0; position < count; ++position) {
        const int row = RowAt(position);
        bool all = true;
        for (int i = 0; i < fields.size() && all; ++i) {
            const int no = fields[i]->FieldNo();
            const QVariant& key = keys[i];
            if (fields[i]->DataType() == TFieldType::ftString) {
                // Text fields: null reads as empty text.
                const QString text = RowIsNull(row, no) ? QString() : RowString(row, no);
                all = partial ? text.startsWith(key.toString(), cs)
                              : text.compare(key.toString(), cs) == 0;
                continue;
            }
            if (RowIsNull(row, no)) {
                all = key.isNull();
                continue;
            }
            if (key.isNull()) {
                all = false;
                continue;
            }
            switch (fields[i]->DataType()) {
            case TFieldType::ftInteger:
                all = RowInteger(row, no) == key.toInt();
                break;
            default:
                all = RowFloat(row, no) == key.toDouble();
            }
        }
        if (all)
            return position;
    }
    return -1;
}

void TDataSet::NewOpening() { FOpenSerial = NextSerial++; }

bool TDataSet::Locate(const QString& keyFields, const QVariant& keyValues, TLocateOptions options)
{
    CheckActive();
    CheckBrowseMode();
    const QStringList names = keyFields.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (names.isEmpty())
        return false;
    QList<const TField*> fields;
    QVariantList keys;
    for (const QString& name : names)
        fields.append(FieldByName(name.trimmed()));
    if (fields.size() == 1)
        keys.append(keyValues);
    else
        keys = keyValues.toList();
    if (keys.size() != fields.size())
        DatabaseError(QStringLiteral("Field value required"));
    // Convert once, so a key the field can't take fails before any scan.
    for (int i = 0; i < fields.size(); ++i) {
        if (fields[i]->DataType() == TFieldType::ftString) {
            keys[i] = QVariant(keys[i].toString());
            continue;
        }
        if (keys[i].isNull())
            continue;
        const QString text = keys[i].toString().trimmed();
        if (text.isEmpty()) {
            keys[i] = QVariant();
            continue;
        }
        bool ok = false;
        if (fields[i]->DataType() == TFieldType::ftInteger)
            keys[i] = text.toInt(&ok);
        else
            keys[i] = text.toDouble(&ok);
        if (!ok)
            throw EDatabaseError(
                QStringLiteral("Invalid value for field '%1'").arg(fields[i]->DisplayName()));
    }
    const int position = LocatePosition(fields, keys, options);
    if (position < 0)
        return false;
    FBOF = FEOF = false;
    MoveTo(position);
    return true;
}

// ---- notifications ------------------------------------------------------

void TDataSet::AddDataSource(TDataSource* source)
{
    if (!FDataSources.contains(source))
        FDataSources.append(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) { FDataSources.removeOne(source); }

void TDataSet::DisableControls()
{
    if (FDisableCount++ == 0) {
        FDisabledState = FState;
        FEnableEvent = TDataEvent::deDataSetChange;
    }
}

void TDataSet::EnableControls()
{
    if (FDisableCount == 0 || --FDisableCount > 0)
        return;
    if (FDisabledState != FState)
        NotifyLinks(TDataEvent::deUpdateState, 0);
    if (FDisabledState != TDataSetState::dsInactive && FState != TDataSetState::dsInactive)
        NotifyLinks(FEnableEvent, 0);
}

void TDataSet::DataEvent(TDataEvent event, qintptr info)
{
    if (FDisableCount == 0) {
        NotifyLinks(event, info);
        return;
    }
    // Bound controls stay still until EnableControls; a close or a layout
    // change in between makes them rebuild their layout then.
    if ((event == TDataEvent::deUpdateState && FState == TDataSetState::dsInactive)
        || event == TDataEvent::deLayoutChange)
        FEnableEvent = TDataEvent::deLayoutChange;
    for (TDataSource* source : std::as_const(FDataSources))
        for (TDataLink* link : source->FDataLinks)
            link->UpdateWindow();
}

void TDataSet::NotifyLinks(TDataEvent event, qintptr info)
{
    const auto sources = FDataSources;
    for (TDataSource* source : sources)
        source->DataEvent(event, info);
}
