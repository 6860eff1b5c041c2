#pragma once

#include "TField.h"

#include <QPointer>
#include <QString>

class TDBGridColumns;

// One column of a data grid: the field it shows, its title, width and
// visibility. What is not set follows the field: the title reads the field's
// display name and the width is the grid's default for the field. Setting a
// property of a default column makes the grid keep its columns from then on
// (TDBGridColumns::State).
class TColumn
{
public:
    explicit TColumn(TDBGridColumns* owner);
    virtual ~TColumn();
    TColumn(const TColumn&) = delete;
    TColumn& operator=(const TColumn&) = delete;

    // Position in the grid's column list.
    int Index() const;

    QString FieldName() const { return FFieldName; }
    void SetFieldName(const QString& name);
    // The dataset's field of that name (any letter case), null while the
    // grid has no active dataset or the dataset lacks the field.
    TField* Field() const { return FField; }

    virtual QString TitleCaption() const;
    void SetTitleCaption(const QString& caption);
    int Width() const { return FWidthSet ? FWidth : FDefaultWidth; }
    void SetWidth(int width);
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    // The field's alignment; left without a field.
    TAlignment Alignment() const;

private:
    friend class TCustomDBGrid;
    friend class TDBGridColumns;

    void Changed();

    TDBGridColumns* FOwner;
    QString FFieldName;
    QPointer<TField> FField;
    QString FTitleCaption;
    bool FTitleCaptionSet = false;
    int FWidth = 0;
    int FDefaultWidth = 64;
    bool FWidthSet = false;
    bool FVisible = true;
};
