#pragma once

#include "TDataSet.h"

class TDataSource;
class TField;

// A control's view of a data source. Active: it has a data source whose
// state is not inactive. Editing: active, the state is edit, insert or
// set-key, and the link is not read-only. The notifications below are raised
// when those flags flip and when the dataset announces changes; the base's
// DataSetScrolled and LayoutChanged forward to DataSetChanged.
//
// Record window: BufferCount() rows starting at the dataset position
// FirstRecord(); ActiveRecord() is the line of the current row in it, and
// setting it makes another line the one that fields read, without moving the
// cursor or raising anything. Any cursor move resets it.
class TDataLink
{
public:
    TDataLink();
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const;
    bool Active() const { return FActive; }
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);

    int BufferCount() const { return FBufferCount; }
    void SetBufferCount(int count);
    int FirstRecord() const { return FFirstRecord; }
    int ActiveRecord() const;
    void SetActiveRecord(int line);
    // Rows in the window, at most BufferCount().
    int RecordCount() const;

    // Puts the dataset into edit mode when possible; true when editing.
    bool Edit();
    // Asks every link of the dataset to write its pending value.
    void UpdateRecord();

protected:
    virtual void ActiveChanged() { }
    virtual void CheckBrowseMode() { }
    virtual void DataSetChanged() { }
    // distance: how many rows the window moved towards the end (negative:
    // towards the start).
    virtual void DataSetScrolled(int distance) { DataSetChanged(); }
    virtual void EditingChanged() { }
    virtual void FocusControl(TField** field) { }
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void RecordChanged(TField* field) { }
    virtual void UpdateData() { }

private:
    friend class TDataSource;
    friend class TDataSet;

    void DataEvent(TDataEvent event, qintptr info);
    void UpdateState();
    // Keeps the current row inside the window; returns the rows scrolled.
    int UpdateWindow();

    TDataSource* FDataSource = nullptr;
    int FBufferCount = 1;
    int FFirstRecord = 0;
    int FLine = 0; // the current row's line, kept by a re-read
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
};
