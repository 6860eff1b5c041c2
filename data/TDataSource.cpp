#include "TDataSource.h"

#include "TDataLink.h"
#include "TField.h"

TDataSource::TDataSource(QObject* owner) : QObject(owner) {}

TDataSource::~TDataSource()
{
    SetDataSet(nullptr);
    const auto links = FDataLinks;
    for (TDataLink* link : links)
        link->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet)
{
    if (FDataSet == dataSet)
        return;
    if (FDataSet) {
        FDataSet->RemoveDataSource(this);
        FDataSet = nullptr;
        UpdateState();
    }
    if (dataSet) {
        dataSet->AddDataSource(this);
        FDataSet = dataSet;
        UpdateState();
    }
}

void TDataSource::SetEnabled(bool enabled)
{
    if (FEnabled == enabled)
        return;
    FEnabled = enabled;
    UpdateState();
}

void TDataSource::UpdateState()
{
    const TDataSetState state =
        FEnabled && FDataSet ? FDataSet->State() : TDataSetState::dsInactive;
    if (state == FState)
        return;
    const bool wasActive = FState != TDataSetState::dsInactive;
    FState = state;
    if (wasActive != (state != TDataSetState::dsInactive)) {
        for (TDataLink* link : std::as_const(FDataLinks))
            link->FFirstRecord = link->FLine = 0;
    }
    NotifyDataLinks(TDataEvent::deUpdateState, 0);
    if (OnStateChange)
        OnStateChange(this);
}

void TDataSource::NotifyDataLinks(TDataEvent event, qintptr info)
{
    const auto links = FDataLinks;
    for (TDataLink* link : links)
        if (FDataLinks.contains(link))
            link->DataEvent(event, info);
}

void TDataSource::DataEvent(TDataEvent event, qintptr info)
{
    if (event == TDataEvent::deUpdateState) {
        UpdateState();
        return;
    }
    if (FState == TDataSetState::dsInactive)
        return;
    NotifyDataLinks(event, info);
    switch (event) {
    case TDataEvent::deFieldChange:
    case TDataEvent::deRecordChange:
    case TDataEvent::deDataSetChange:
    case TDataEvent::deDataSetScroll:
    case TDataEvent::deLayoutChange:
        if (OnDataChange)
            OnDataChange(this, event == TDataEvent::deFieldChange
                                   ? reinterpret_cast<TField*>(info)
                                   : nullptr);
        break;
    default:
        break;
    }
}
