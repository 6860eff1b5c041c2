#include "TStringField.h"

#include "Big5Text.h"
#include "FieldFormat.h"

TStringField::TStringField(QObject* owner) : TField(owner) { SetSize(20); }

void TStringField::SetAsString(const QString& text)
{
    SetData(text.isEmpty() ? QVariant() : QVariant(Big5Truncate(text, Size())));
}

qint32 TStringField::AsInteger() const
{
    qint32 value = 0;
    if (!IsNull() && !TextToInteger(AsString(), value))
        InvalidValue();
    return value;
}

double TStringField::AsFloat() const
{
    double value = 0;
    if (!IsNull() && !TextToFloat(AsString(), value))
        InvalidValue();
    return value;
}

QString TStringField::GetText(bool displayText) const
{
    const QString text = AsString();
    if (displayText && !EditMask().isEmpty() && !text.isEmpty())
        return FormatMaskText(EditMask(), text);
    return text;
}
