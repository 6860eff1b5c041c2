#include "NumericText.h"

#include <charconv>

namespace
{

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool IsDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

QStringView Trimmed(QStringView text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && IsBlank(text[b]))
        ++b;
    while (e > b && IsBlank(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

qsizetype Digits(QStringView t, qsizetype i)
{
    while (i < t.size() && IsDigit(t[i]))
        ++i;
    return i;
}

// Whether t is one real number and nothing else.
bool MatchReal(QStringView t, bool& hasExponent)
{
    qsizetype i = (!t.isEmpty() && (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-'))) ? 1 : 0;
    const qsizetype intEnd = Digits(t, i);
    bool digits = intEnd > i;
    i = intEnd;
    if (i < t.size() && t[i] == QLatin1Char('.')) {
        const qsizetype fracEnd = Digits(t, i + 1);
        digits = digits || fracEnd > i + 1;
        i = fracEnd;
    }
    if (!digits) return false;
    hasExponent = i < t.size() && (t[i] == QLatin1Char('e') || t[i] == QLatin1Char('E'));
    if (hasExponent) {
        ++i;
        if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
        const qsizetype expEnd = Digits(t, i);
        if (expEnd == i) return false;
        i = expEnd;
    }
    return i == t.size();
}

QString NotANumber(QStringView text)
{
    if (NumericText::IsBlank(text)) return QStringLiteral("an empty text is not a number");
    return QStringLiteral("'%1' is not a number").arg(text);
}

} // namespace

bool NumericText::IsBlank(QStringView text)
{
    return Trimmed(text).isEmpty();
}

bool NumericText::IsInteger(QStringView text)
{
    const QStringView t = Trimmed(text);
    const qsizetype i =
        (!t.isEmpty() && (t[0] == QLatin1Char('+') || t[0] == QLatin1Char('-'))) ? 1 : 0;
    return t.size() > i && Digits(t, i) == t.size();
}

bool NumericText::ToInteger(QStringView text, qint64& value, QString& reason)
{
    if (!IsInteger(text)) {
        QString trimmed;
        bool exponent = false;
        reason = IsReal(text, trimmed, exponent, reason)
                     ? QStringLiteral("'%1' is not an integer").arg(text)
                     : NotANumber(text);
        return false;
    }
    QByteArray latin = Trimmed(text).toLatin1();
    if (latin.startsWith('+')) latin.remove(0, 1);
    const auto [end, ec] = std::from_chars(latin.constData(), latin.constEnd(), value);
    if (ec != std::errc() || end != latin.constEnd()) {
        reason = QStringLiteral("'%1' is out of range").arg(text);
        return false;
    }
    return true;
}

bool NumericText::IsReal(QStringView text, QString& trimmed, bool& hasExponent, QString& reason)
{
    const QStringView t = Trimmed(text);
    if (!MatchReal(t, hasExponent)) {
        reason = NotANumber(text);
        return false;
    }
    trimmed = t.toString();
    return true;
}

bool NumericText::ToReal(QStringView text, double& value, QString& reason)
{
    QString trimmed;
    bool exponent = false;
    if (!IsReal(text, trimmed, exponent, reason)) return false;
    QByteArray latin = trimmed.toLatin1();
    if (latin.startsWith('+')) latin.remove(0, 1);
    const auto [end, ec] = std::from_chars(latin.constData(), latin.constEnd(), value);
    if (ec != std::errc() || end != latin.constEnd()) {
        reason = QStringLiteral("'%1' is out of range").arg(text);
        return false;
    }
    return true;
}
