#pragma once

#include <QString>

// The general number format: up to 15 significant digits, no trailing zeros,
// an exponent ("1E20", "1.5E-7") only where plain digits would not do.
QString FloatToGeneral(double value);

// A display format of the "#,##0.00" family: '0' a digit always shown, '#'
// a digit shown when significant, '.' the decimal point.
QString FormatFloat(const QString& format, double value);

// Applies an edit mask ("!00-00-0;0;") to a stored value whose literals are
// not saved: the value's characters fill the mask's character positions in
// order, the literals are put in between; the text ends with the value.
QString FormatMaskText(const QString& editMask, const QString& value);

// Strict conversions of typed text, in the syntax of NumericText that the
// drivers apply to parameters: surrounding ASCII blanks are ignored, anything
// else that is not a number fails.
bool TextToInteger(const QString& text, qint32& value);
bool TextToFloat(const QString& text, double& value);
