#pragma once

#include <QString>

// A text as one SQL string literal: in single quotes, every quote inside
// doubled, so that no text ends the literal early.
inline QString QuotedStr(const QString& text)
{
    QString doubled = text;
    doubled.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + doubled + QLatin1Char('\'');
}
