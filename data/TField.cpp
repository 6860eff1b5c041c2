#include "TField.h"

#include "Exceptions.h"
#include "FieldFormat.h"
#include "TDataSet.h"

TField::TField(QObject* owner) : QObject(owner) {}

TField::~TField()
{
    if (FDataSet)
        FDataSet->RemoveField(this);
}

void TField::SetDataSet(TDataSet* dataSet)
{
    if (FDataSet == dataSet)
        return;
    if ((FDataSet && FDataSet->Active()) || (dataSet && dataSet->Active()))
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (FDataSet)
        FDataSet->RemoveField(this);
    if (dataSet)
        dataSet->AddField(this);
}

void TField::SetDisplayLabel(const QString& label)
{
    if (FDisplayLabel == label)
        return;
    FDisplayLabel = label;
    PropertyChanged(true);
}

QString TField::DisplayName() const { return FDisplayLabel.isEmpty() ? FFieldName : FDisplayLabel; }

void TField::SetVisible(bool visible)
{
    if (FVisible == visible)
        return;
    FVisible = visible;
    PropertyChanged(true);
}

int TField::DisplayWidth() const { return FDisplayWidth >= 0 ? FDisplayWidth : DefaultDisplayWidth(); }

void TField::SetDisplayWidth(int width)
{
    if (FDisplayWidth == width)
        return;
    FDisplayWidth = width;
    PropertyChanged(true);
}

void TField::SetAlignment(TAlignment alignment)
{
    const TAlignment old = Alignment();
    FAlignmentSet = true;
    FAlignment = alignment;
    if (old != alignment)
        PropertyChanged(false);
}

int TField::Index() const { return FDataSet ? int(FDataSet->Fields().indexOf(this)) : -1; }

void TField::SetIndex(int index)
{
    if (FDataSet)
        FDataSet->MoveField(this, index);
}

bool TField::CanModify() const
{
    return !FReadOnly && FDataSet && FDataSet->CanModify() && FFieldNo >= 0;
}

void TField::PropertyChanged(bool layout)
{
    if (FDataSet && FDataSet->Active()) {
        if (layout)
            FDataSet->FieldLayoutChanged();
        else
            FDataSet->DataEvent(TDataEvent::deDataSetChange);
    }
}

bool TField::IsNull() const { return !FDataSet || FDataSet->FieldIsNull(this); }

void TField::Clear() { SetData(QVariant()); }

QString TField::AsString() const { return FDataSet ? FDataSet->FieldString(this) : QString(); }

qint32 TField::AsInteger() const { return FDataSet ? FDataSet->FieldInteger(this) : 0; }

void TField::SetAsInteger(qint32 value) { SetAsString(QString::number(value)); }

double TField::AsFloat() const { return FDataSet ? FDataSet->FieldFloat(this) : 0.0; }

void TField::SetAsFloat(double value) { SetAsString(FloatToGeneral(value)); }

QVariant TField::Value() const
{
    if (IsNull())
        return {};
    switch (DataType()) {
    case TFieldType::ftInteger:
        return AsInteger();
    case TFieldType::ftFloat:
        return AsFloat();
    default:
        return AsString();
    }
}

void TField::SetValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        Clear();
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Bool:
        SetAsInteger(value.toInt());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        SetAsFloat(value.toDouble());
        break;
    default:
        SetAsString(value.toString());
    }
}

QString TField::GetText(bool displayText) const { return AsString(); }

void TField::SetData(const QVariant& value)
{
    if (!FDataSet)
        throw EDatabaseError(QStringLiteral("Field '%1' has no dataset").arg(DisplayName()));
    FDataSet->SetFieldValue(this, value);
}

void TField::InvalidValue() const
{
    throw EDatabaseError(QStringLiteral("Invalid value for field '%1'").arg(DisplayName()));
}
