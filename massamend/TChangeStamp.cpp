#include "TChangeStamp.h"

namespace
{
QString Digits(int value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}
} // namespace

TChangeStamp::TChangeStamp(const QLocale& locale)
    : Clock([] { return QDateTime::currentDateTime(); }),
      FDateSeparator(SeparatorOf(locale.dateFormat(QLocale::ShortFormat), QLatin1Char('/'))),
      FTimeSeparator(SeparatorOf(locale.timeFormat(QLocale::ShortFormat), QLatin1Char(':')))
{
}

QChar TChangeStamp::SeparatorOf(const QString& format, QChar fallback)
{
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && !c.isLetter() && !c.isSpace())
            return c;
    }
    return fallback;
}

QString TChangeStamp::ChangeDate() const
{
    const QDate date = Clock().date();
    return Digits(date.year(), 4) + FDateSeparator + Digits(date.month(), 2) + FDateSeparator +
           Digits(date.day(), 2);
}

QString TChangeStamp::ChangeTime() const
{
    const QTime time = Clock().time();
    return Digits(time.hour(), 2) + FTimeSeparator + Digits(time.minute(), 2) + FTimeSeparator +
           Digits(time.second(), 2);
}
