#include "TDataLink.h"

#include "TDataSource.h"

TDataLink::TDataLink() = default;

TDataLink::~TDataLink()
{
    if (FDataSource)
        FDataSource->FDataLinks.removeOne(this);
}

TDataSet* TDataLink::DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* source)
{
    if (FDataSource == source)
        return;
    // A link moved between two active sources still sees the old one go and
    // the new one come, like a source that changes its dataset.
    if (FDataSource) {
        FDataSource->FDataLinks.removeOne(this);
        FDataSource = nullptr;
        UpdateState();
    }
    FDataSource = source;
    if (FDataSource)
        FDataSource->FDataLinks.append(this);
    FFirstRecord = FLine = 0;
    UpdateWindow();
    UpdateState();
}

void TDataLink::SetReadOnly(bool readOnly)
{
    if (FReadOnly == readOnly)
        return;
    FReadOnly = readOnly;
    UpdateState();
}

void TDataLink::SetBufferCount(int count)
{
    FBufferCount = qMax(1, count);
    UpdateWindow();
}

int TDataLink::ActiveRecord() const
{
    const TDataSet* dataSet = DataSet();
    if (!FActive || !dataSet)
        return 0;
    return dataSet->ActivePosition() - FFirstRecord;
}

void TDataLink::SetActiveRecord(int line)
{
    if (TDataSet* dataSet = DataSet(); FActive && dataSet)
        dataSet->SetActivePosition(FFirstRecord + line);
}

int TDataLink::RecordCount() const
{
    const TDataSet* dataSet = DataSet();
    if (!FActive || !dataSet)
        return 0;
    return qBound(0, dataSet->RecordCount() - FFirstRecord, FBufferCount);
}

bool TDataLink::Edit()
{
    if (!FReadOnly && FActive && !FEditing)
        DataSet()->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord()
{
    FUpdating = true;
    struct Reset
    {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FUpdating};
    UpdateData();
}

int TDataLink::UpdateWindow()
{
    const TDataSet* dataSet = DataSet();
    if (!dataSet || !dataSet->Active())
        return 0;
    const int old = FFirstRecord;
    const int count = dataSet->RecordCount();
    const int current = dataSet->CurrentPosition();
    int first = FFirstRecord;
    if (current >= 0) {
        if (current < first)
            first = current;
        else if (current >= first + FBufferCount)
            first = current - FBufferCount + 1;
    }
    // Keep the window full when rows went away at the end.
    first = qBound(0, first, qMax(0, count - FBufferCount));
    FFirstRecord = first;
    if (current >= 0)
        FLine = current - first;
    return first - old;
}

void TDataLink::UpdateState()
{
    const bool active = FDataSource && FDataSource->State() != TDataSetState::dsInactive;
    if (active != FActive) {
        FActive = active;
        if (active)
            UpdateWindow();
        ActiveChanged();
    }
    const TDataSetState state = FDataSource ? FDataSource->State() : TDataSetState::dsInactive;
    const bool editing = FActive && !FReadOnly
                         && (state == TDataSetState::dsEdit || state == TDataSetState::dsInsert
                             || state == TDataSetState::dsSetKey);
    if (editing != FEditing) {
        FEditing = editing;
        EditingChanged();
    }
}

void TDataLink::DataEvent(TDataEvent event, qintptr info)
{
    if (event == TDataEvent::deUpdateState) {
        UpdateState();
        return;
    }
    if (!FActive)
        return;
    switch (event) {
    case TDataEvent::deFieldChange:
    case TDataEvent::deRecordChange:
        if (!FUpdating)
            RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case TDataEvent::deDataSetChange:
        UpdateWindow();
        DataSetChanged();
        break;
    case TDataEvent::deDataSetScroll:
        DataSetScrolled(UpdateWindow());
        break;
    case TDataEvent::deLayoutChange:
        UpdateWindow();
        LayoutChanged();
        break;
    case TDataEvent::deUpdateRecord:
        UpdateRecord();
        break;
    case TDataEvent::deCheckBrowseMode:
        CheckBrowseMode();
        break;
    case TDataEvent::deFocusControl:
        FocusControl(reinterpret_cast<TField**>(info));
        break;
    default:
        break;
    }
}
