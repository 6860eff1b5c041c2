#include "TReplacementValue.h"

#include "Exceptions.h"
#include "FieldFormat.h"
#include "NumericText.h"
#include "TField.h"

QString TReplacementValue::ForField(const TField* field, const QString& text)
{
    if (!field) return text;
    const auto fail = [](const QString& message) { throw EDatabaseError(message); };
    const QString name = field->DisplayName();
    const auto invalid = [&] { fail(QStringLiteral("Invalid value for field '%1'").arg(name)); };
    const bool number = field->DataType() != TFieldType::ftString;
    if (text.isEmpty() || (number && NumericText::IsBlank(text))) {
        if (field->Required()) fail(QStringLiteral("Field '%1' must have a value").arg(name));
        if (number) invalid();
        return text;
    }
    switch (field->DataType()) {
    case TFieldType::ftInteger: {
        qint32 value = 0;
        if (!TextToInteger(text, value)) invalid();
        break;
    }
    case TFieldType::ftFloat: {
        double value = 0;
        if (!TextToFloat(text, value)) invalid();
        break;
    }
    default:
        break;
    }
    return text;
}
