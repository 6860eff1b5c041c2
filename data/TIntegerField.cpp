#include "TIntegerField.h"

#include "FieldFormat.h"
#include "NumericText.h"

#include <cmath>

TIntegerField::TIntegerField(QObject* owner) : TField(owner) {}

void TIntegerField::SetAsString(const QString& text)
{
    if (NumericText::IsBlank(text)) {
        Clear();
        return;
    }
    qint32 value = 0;
    if (!TextToInteger(text, value))
        InvalidValue();
    SetData(value);
}

QString TIntegerField::AsString() const { return IsNull() ? QString() : QString::number(AsInteger()); }

double TIntegerField::AsFloat() const { return AsInteger(); }

void TIntegerField::SetAsFloat(double value)
{
    if (!std::isfinite(value) || value < INT32_MIN || value > INT32_MAX)
        InvalidValue();
    SetData(qint32(std::lround(value)));
}
