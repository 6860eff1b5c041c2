#include "DBSearch.h"

#include "TApplication.h"
#include "TDataSource.h"
#include "TField.h"
#include "TFieldDataLink.h"

TCustomSearchEdit::TCustomSearchEdit(QWidget* owner)
    : QLineEdit(owner), FDataLink(std::make_unique<TFieldDataLink>()),
      FSearchOptions{TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey}
{
    FDataLink->SetControl(this);
    FDataLink->OnDataChange = [this] { DataChange(); };
    connect(this, &QLineEdit::textChanged, this,
            [this] { Application()->Guard([&] { Change(); }); });
}

TCustomSearchEdit::~TCustomSearchEdit()
{
    disconnect(this, &QLineEdit::textChanged, this, nullptr);
    FDataLink.reset();
}

TDataSource* TCustomSearchEdit::DataSource() const
{
    return FDataLink->DataSource();
}

void TCustomSearchEdit::SetDataSource(TDataSource* source)
{
    // The data source detaches the link itself when it is destroyed.
    FDataLink->SetDataSource(source);
}

QString TCustomSearchEdit::DataField() const
{
    return FDataLink->FieldName();
}

void TCustomSearchEdit::SetDataField(const QString& name)
{
    FDataLink->SetFieldName(name);
}

void TCustomSearchEdit::SetTabStop(bool tabStop)
{
    setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TCustomSearchEdit::Change()
{
    // Only typing searches: a text the program puts in without the focus,
    // as DataChange does, must not move the row.
    if (IsActiveControl() && FDataLink->Active())
        FDataLink->DataSet()->Locate(DataField(), text(), FSearchOptions);
    if (OnChange) OnChange(this);
}

void TCustomSearchEdit::DataChange()
{
    TField* field = FDataLink->Field();
    if (!field) {
        if (!text().isEmpty()) setText(QString());
        return;
    }
    // The user's typed text stays while the user types.
    if (IsActiveControl()) return;
    const QString value = FDataLink->CanModify() ? field->Text() : field->DisplayText();
    if (value != text()) setText(value);
    selectAll();
}
