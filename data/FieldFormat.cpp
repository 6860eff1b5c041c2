#include "FieldFormat.h"

#include "NumericText.h"

#include <cmath>

QString FloatToGeneral(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    QString text = QString::number(value, 'g', 15);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e < 0)
        return text;
    // "1e+20" -> "1E20", "1.5e-07" -> "1.5E-7"
    QString mantissa = text.left(e);
    QString exponent = text.mid(e + 1);
    bool negative = exponent.startsWith(QLatin1Char('-'));
    if (exponent.startsWith(QLatin1Char('+')) || negative)
        exponent.remove(0, 1);
    while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
        exponent.remove(0, 1);
    return mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
}

QString FormatFloat(const QString& format, double value)
{
    const qsizetype point = format.indexOf(QLatin1Char('.'));
    int minDecimals = 0;
    int maxDecimals = 0;
    if (point >= 0) {
        for (qsizetype i = point + 1; i < format.size(); ++i) {
            if (format[i] == QLatin1Char('0'))
                ++minDecimals, ++maxDecimals;
            else if (format[i] == QLatin1Char('#'))
                ++maxDecimals;
        }
    }
    const QString integerPart = point >= 0 ? format.left(point) : format;
    const bool grouping = integerPart.contains(QLatin1Char(','));
    const int minIntegerDigits = int(integerPart.count(QLatin1Char('0')));

    QString text = QString::number(std::fabs(value), 'f', maxDecimals);
    if (maxDecimals > minDecimals) {
        for (int decimals = maxDecimals; decimals > minDecimals && text.endsWith(QLatin1Char('0'));
             --decimals)
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    qsizetype dot = text.indexOf(QLatin1Char('.'));
    QString digits = dot >= 0 ? text.left(dot) : text;
    const QString decimals = dot >= 0 ? text.mid(dot) : QString();
    if (digits == QLatin1String("0") && minIntegerDigits == 0)
        digits.clear();
    while (digits.size() < minIntegerDigits)
        digits.prepend(QLatin1Char('0'));
    if (grouping)
        for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
            digits.insert(i, QLatin1Char(','));
    QString result = digits + decimals;
    const bool isZero = result.isEmpty()
                        || result.count(QLatin1Char('0')) + result.count(QLatin1Char('.'))
                               + result.count(QLatin1Char(','))
                               == result.size();
    if (value < 0 && !isZero)
        result.prepend(QLatin1Char('-'));
    return result;
}

QString FormatMaskText(const QString& editMask, const QString& value)
{
    // Only the first section is the pattern; the others say how literals are
    // stored and which character marks a blank.
    QString pattern = editMask.section(QLatin1Char(';'), 0, 0);
    if (pattern.startsWith(QLatin1Char('!')))
        pattern.remove(0, 1);
    static const QString positions = QStringLiteral("09#LlAaCc");
    QString result;
    qsizetype next = 0;
    for (qsizetype i = 0; i < pattern.size() && next < value.size(); ++i) {
        const QChar m = pattern.at(i);
        if (m == QLatin1Char('\\') && i + 1 < pattern.size()) {
            result += pattern.at(++i);
        } else if (positions.contains(m)) {
            result += value.at(next++);
        } else if (m == QLatin1Char('<') || m == QLatin1Char('>')) {
            continue;
        } else {
            result += m;
        }
    }
    result += value.mid(next);
    return result;
}

bool TextToInteger(const QString& text, qint32& value)
{
    qint64 wide = 0;
    QString reason;
    if (!NumericText::ToInteger(text, wide, reason) || wide < INT32_MIN || wide > INT32_MAX)
        return false;
    value = qint32(wide);
    return true;
}

bool TextToFloat(const QString& text, double& value)
{
    QString reason;
    return NumericText::ToReal(text, value, reason);
}
