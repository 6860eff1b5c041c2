#pragma once

#include <QChar>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <functional>

// The change date and time that the write-back stamps on every product: text
// "YYYY/MM/DD" and "hh:nn:ss" (24-hour clock), each "/" and ":" replaced by
// the workstation's date and time separators.
class TChangeStamp
{
public:
    // Separators of the locale's short date and time formats.
    explicit TChangeStamp(const QLocale& locale = QLocale::system());

    QChar DateSeparator() const { return FDateSeparator; }
    void SetDateSeparator(QChar separator) { FDateSeparator = separator; }
    QChar TimeSeparator() const { return FTimeSeparator; }
    void SetTimeSeparator(QChar separator) { FTimeSeparator = separator; }

    // The clock; the local time unless a test sets another.
    std::function<QDateTime()> Clock;

    // Each call reads the clock.
    QString ChangeDate() const;
    QString ChangeTime() const;

    static QChar SeparatorOf(const QString& format, QChar fallback);

private:
    QChar FDateSeparator;
    QChar FTimeSeparator;
};
