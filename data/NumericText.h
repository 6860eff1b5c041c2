#pragma once

#include <QString>
#include <QStringView>

// The one number syntax of the program, for the fields set from text and for
// the drivers binding text parameters alike, so that a value a field takes is
// never refused by the database: that of the "C" locale, whatever the
// workstation's settings. Blanks (ASCII spaces and tabs, nothing else: no
// ideographic space, no line break) around the number are ignored; an integer
// is [+-]digits; a real number may also have a fraction and an exponent:
// [+-](digits[.digits] | .digits)[(e|E)[+-]digits]. Nothing else is a number:
// no thousands separators, no decimal comma, no hexadecimal, no "inf" or
// "nan", and no empty text.
class NumericText
{
public:
    // Empty, or blanks only: no number at all.
    static bool IsBlank(QStringView text);
    // On failure, reason tells why: "'abc' is not a number".
    static bool ToInteger(QStringView text, qint64& value, QString& reason);
    static bool ToReal(QStringView text, double& value, QString& reason);
    // Accepts what ToReal does; trimmed is the number without the blanks.
    static bool IsReal(QStringView text, QString& trimmed, bool& hasExponent, QString& reason);
    static bool IsInteger(QStringView text);
};
