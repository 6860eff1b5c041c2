#pragma once

#include "TDataSet.h"
#include "TNotifyEvent.h"

#include <QLineEdit>
#include <memory>

class TDataSource;
class TFieldDataLink;

// A one-line edit bound to one field of a data source. While it has the
// focus, every change of its text moves the dataset to the first row whose
// field matches the text (Locate with SearchOptions); a text that matches
// nothing leaves the row where it was. Without the focus it shows the current
// row's value of the field, wholly selected. With no field (no data source,
// a closed dataset, an empty DataField) its text is empty.
//
// An empty DataField is handed to Locate as it is, which matches nothing and
// moves nothing. Without a data source or with a closed dataset typing
// searches nothing.
class TCustomSearchEdit : public QLineEdit
{
public:
    explicit TCustomSearchEdit(QWidget* owner = nullptr);
    ~TCustomSearchEdit() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    QString DataField() const;
    // Resolves the field at once when attached; a name the dataset lacks fails
    // with "<edit name>: Field '%s' not found".
    void SetDataField(const QString& name);
    TLocateOptions SearchOptions() const { return FSearchOptions; }
    void SetSearchOptions(TLocateOptions options) { FSearchOptions = options; }
    bool TabStop() const { return (focusPolicy() & Qt::TabFocus) != 0; }
    void SetTabStop(bool tabStop);

    // Raised after the search, on every change of the text.
    TNotifyEvent OnChange;

    // Shows the current row's value of the field.
    void DataChange();

protected:
    // The search of one change of the text.
    virtual void Change();

private:
    bool IsActiveControl() const { return hasFocus(); }

    std::unique_ptr<TFieldDataLink> FDataLink;
    TLocateOptions FSearchOptions;
};

// The search edit as forms use it.
class TSearchEdit : public TCustomSearchEdit
{
public:
    using TCustomSearchEdit::TCustomSearchEdit;
};
