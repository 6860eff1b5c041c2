#include "NamedParams.h"

namespace
{

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

NamedParams NamedParams::Parse(const QString& text)
{
    NamedParams result;
    QString& out = result.Statement;
    out.reserve(text.size());
    const qsizetype n = text.size();
    auto at = [&](qsizetype k) { return k < n ? text[k] : QChar(); };
    qsizetype i = 0;
    while (i < n) {
        const QChar c = text[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A doubled quote inside closes and reopens: the same text comes out.
            const qsizetype close = text.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? n : close + 1;
            out += QStringView(text).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('-') && at(i + 1) == QLatin1Char('-')) {
            const qsizetype eol = text.indexOf(QLatin1Char('\n'), i);
            const qsizetype end = eol < 0 ? n : eol;
            out += QStringView(text).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
            const qsizetype close = text.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype end = close < 0 ? n : close + 2;
            out += QStringView(text).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char(':') && at(i + 1) == QLatin1Char(':')) {
            out += QLatin1Char(':');
            i += 2;
        } else if (c == QLatin1Char(':') && at(i + 1) == QLatin1Char('"')) {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 2);
            if (close < 0) {
                out += QStringView(text).mid(i);
                break;
            }
            result.Occurrences.append(text.mid(i + 2, close - i - 2));
            out += QLatin1Char('?');
            i = close + 1;
        } else if (c == QLatin1Char(':') && IsNameChar(at(i + 1))) {
            qsizetype end = i + 1;
            while (end < n && IsNameChar(text[end]))
                ++end;
            result.Occurrences.append(text.mid(i + 1, end - i - 1));
            out += QLatin1Char('?');
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return result;
}
