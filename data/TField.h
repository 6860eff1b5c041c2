#pragma once

#include "TFieldType.h"

#include <QObject>
#include <QString>
#include <QVariant>

class TDataSet;

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };

// One column of a dataset. A field reads and writes the dataset's active row:
// the row being edited, the cursor's row, or the row a data link made active
// for the moment. Its owner (a form, or the dataset for default fields)
// destroys it; destroying it takes it out of its dataset.
class TField : public QObject
{
public:
    explicit TField(QObject* owner = nullptr);
    ~TField() override;

    TDataSet* DataSet() const { return FDataSet; }
    // Appends the field to the dataset's fields; the dataset must be closed.
    void SetDataSet(TDataSet* dataSet);

    QString FieldName() const { return FFieldName; }
    void SetFieldName(const QString& name) { FFieldName = name; }
    QString FullName() const { return FFieldName; }
    QString DisplayLabel() const { return FDisplayLabel; }
    void SetDisplayLabel(const QString& label);
    // The display label, or the field name when the label is empty.
    QString DisplayName() const;

    virtual TFieldType DataType() const = 0;
    int Size() const { return FSize; }
    void SetSize(int size) { FSize = size; }
    bool Required() const { return FRequired; }
    void SetRequired(bool required) { FRequired = required; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly) { FReadOnly = readOnly; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool visible);
    int DisplayWidth() const;
    void SetDisplayWidth(int width);
    TAlignment Alignment() const { return FAlignmentSet ? FAlignment : DefaultAlignment(); }
    void SetAlignment(TAlignment alignment);
    QString EditMask() const { return FEditMask; }
    void SetEditMask(const QString& mask) { FEditMask = mask; }

    // Position among the dataset's fields; setting it moves the field.
    int Index() const;
    void SetIndex(int index);
    // The stored column the field reads, -1 while the dataset is closed.
    int FieldNo() const { return FFieldNo; }
    bool CanModify() const;

    bool IsNull() const;
    void Clear();
    virtual QString AsString() const;
    // Converts the text to the field's kind: empty text clears the field,
    // text it can't take fails with "Invalid value for field '%s'".
    virtual void SetAsString(const QString& text) = 0;
    virtual qint32 AsInteger() const;
    virtual void SetAsInteger(qint32 value);
    virtual double AsFloat() const;
    virtual void SetAsFloat(double value);
    QVariant Value() const;
    void SetValue(const QVariant& value);

    // Edit text: the value as typed; display text: through format or mask.
    QString Text() const { return GetText(false); }
    void SetText(const QString& text) { SetAsString(text); }
    QString DisplayText() const { return GetText(true); }

protected:
    virtual QString GetText(bool displayText) const;
    virtual int DefaultDisplayWidth() const = 0;
    virtual TAlignment DefaultAlignment() const { return TAlignment::taLeftJustify; }
    // Hands a converted value (null QVariant for null) to the dataset.
    void SetData(const QVariant& value);
    [[noreturn]] void InvalidValue() const;

private:
    friend class TDataSet;
    void PropertyChanged(bool layout);

    TDataSet* FDataSet = nullptr;
    QString FFieldName;
    QString FDisplayLabel;
    QString FEditMask;
    int FSize = 0;
    int FDisplayWidth = -1;
    int FFieldNo = -1;
    bool FRequired = false;
    bool FReadOnly = false;
    bool FVisible = true;
    bool FAlignmentSet = false;
    TAlignment FAlignment = TAlignment::taLeftJustify;
};
