#pragma once

#include "TDataSet.h"

#include <QList>
#include <QObject>
#include <functional>

class TDataLink;
class TField;

// Connects data links to a dataset. Its state is the dataset's, or inactive
// when it has none, the dataset is closed, or the source is disabled.
// Destroying it detaches every link (their DataSource() becomes null).
class TDataSource : public QObject
{
public:
    explicit TDataSource(QObject* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    // Every link follows the new dataset: it sees the old one go inactive,
    // then the new one become active.
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    TDataSetState State() const { return FState; }

    std::function<void(TDataSource*)> OnStateChange;
    std::function<void(TDataSource*, TField*)> OnDataChange;

    const QList<TDataLink*>& DataLinks() const { return FDataLinks; }

private:
    friend class TDataSet;
    friend class TDataLink;

    void UpdateState();
    void NotifyDataLinks(TDataEvent event, qintptr info);
    void DataEvent(TDataEvent event, qintptr info);

    TDataSet* FDataSet = nullptr;
    QList<TDataLink*> FDataLinks;
    TDataSetState FState = TDataSetState::dsInactive;
    bool FEnabled = true;
};
