#include "TFloatField.h"

#include "FieldFormat.h"
#include "NumericText.h"
#include "TDataSet.h"

#include <cmath>

TFloatField::TFloatField(QObject* owner) : TField(owner) {}

void TFloatField::SetDisplayFormat(const QString& format)
{
    FDisplayFormat = format;
    if (DataSet() && DataSet()->Active())
        DataSet()->DataEvent(TDataEvent::deDataSetChange);
}

void TFloatField::SetAsString(const QString& text)
{
    if (NumericText::IsBlank(text)) {
        Clear();
        return;
    }
    double value = 0;
    if (!TextToFloat(text, value))
        InvalidValue();
    SetData(value);
}

QString TFloatField::AsString() const { return IsNull() ? QString() : FloatToGeneral(AsFloat()); }

qint32 TFloatField::AsInteger() const
{
    const double value = AsFloat();
    if (value < INT32_MIN || value > INT32_MAX)
        InvalidValue();
    return qint32(std::lround(value));
}

void TFloatField::SetAsInteger(qint32 value) { SetData(double(value)); }

void TFloatField::SetAsFloat(double value)
{
    if (!std::isfinite(value))
        InvalidValue();
    SetData(value);
}

QString TFloatField::GetText(bool displayText) const
{
    if (IsNull())
        return {};
    if (displayText && !FDisplayFormat.isEmpty())
        return FormatFloat(FDisplayFormat, AsFloat());
    return FloatToGeneral(AsFloat());
}
