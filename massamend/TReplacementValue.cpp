#include "TReplacementValue.h"

#include "Big5Text.h"
#include "Exceptions.h"
#include "FieldFormat.h"
#include "TField.h"

TSQLParamValue TReplacementValue::ForField(const TField* field, const QString& text)
{
    if (!field) return text;
    const auto fail = [](const QString& message) { throw EDatabaseError(message); };
    const QString name = field->DisplayName();
    const bool number = field->DataType() != TFieldType::ftString;
    if (text.isEmpty() || (number && text.trimmed().isEmpty())) {
        if (field->Required()) fail(QStringLiteral("Field '%1' must have a value").arg(name));
        return number ? TSQLParamValue() : TSQLParamValue(text);
    }
    switch (field->DataType()) {
    case TFieldType::ftInteger: {
        qint32 value = 0;
        if (!TextToInteger(text, value))
            fail(QStringLiteral("Invalid value for field '%1'").arg(name));
        break;
    }
    case TFieldType::ftFloat: {
        double value = 0;
        if (!TextToFloat(text, value))
            fail(QStringLiteral("Invalid value for field '%1'").arg(name));
        break;
    }
    default:
        if (Big5ByteLength(text) > field->Size())
            fail(QStringLiteral("Value too long for field '%1': at most %2 bytes")
                     .arg(name)
                     .arg(field->Size()));
        break;
    }
    return text;
}
