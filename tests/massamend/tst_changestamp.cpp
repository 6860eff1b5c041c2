#include "TChangeStamp.h"

#include <QTest>

class tst_ChangeStamp : public QObject
{
    Q_OBJECT

private slots:
    void separatorsOfTheWorkstation_data();
    void separatorsOfTheWorkstation();
    void stampsWithSeparators_data();
    void stampsWithSeparators();
    void clockIsReadForEachStamp();
};

void tst_ChangeStamp::separatorsOfTheWorkstation_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QChar>("date");
    QTest::addColumn<QChar>("time");
    QTest::newRow("Taiwan") << QStringLiteral("zh_TW") << QChar(u'/') << QChar(u':');
    QTest::newRow("Sweden") << QStringLiteral("sv_SE") << QChar(u'-') << QChar(u':');
    QTest::newRow("Germany") << QStringLiteral("de_DE") << QChar(u'.') << QChar(u':');
    QTest::newRow("Finland") << QStringLiteral("fi_FI") << QChar(u'.') << QChar(u'.');
}

void tst_ChangeStamp::separatorsOfTheWorkstation()
{
    QFETCH(QString, locale);
    QFETCH(QChar, date);
    QFETCH(QChar, time);
    const TChangeStamp stamp{QLocale(locale)};
    QCOMPARE(stamp.DateSeparator(), date);
    QCOMPARE(stamp.TimeSeparator(), time);
}

void tst_ChangeStamp::stampsWithSeparators_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QChar>("dateSeparator");
    QTest::addColumn<QChar>("timeSeparator");
    QTest::addColumn<QString>("date");
    QTest::addColumn<QString>("time");
    const QDateTime morning(QDate(2024, 3, 5), QTime(9, 7, 5));
    const QDateTime evening(QDate(1999, 12, 31), QTime(23, 59, 58));
    QTest::newRow("slash, colon") << morning << QChar(u'/') << QChar(u':')
                                  << QStringLiteral("2024/03/05") << QStringLiteral("09:07:05");
    QTest::newRow("dash, dot") << morning << QChar(u'-') << QChar(u'.')
                               << QStringLiteral("2024-03-05") << QStringLiteral("09.07.05");
    QTest::newRow("dot, dash, 24-hour clock")
        << evening << QChar(u'.') << QChar(u'-') << QStringLiteral("1999.12.31")
        << QStringLiteral("23-59-58");
    QTest::newRow("midnight") << QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0)) << QChar(u'/')
                              << QChar(u':') << QStringLiteral("2000/01/01")
                              << QStringLiteral("00:00:00");
}

void tst_ChangeStamp::stampsWithSeparators()
{
    QFETCH(QDateTime, now);
    QFETCH(QChar, dateSeparator);
    QFETCH(QChar, timeSeparator);
    QFETCH(QString, date);
    QFETCH(QString, time);
    TChangeStamp stamp;
    stamp.Clock = [now] { return now; };
    stamp.SetDateSeparator(dateSeparator);
    stamp.SetTimeSeparator(timeSeparator);
    QCOMPARE(stamp.ChangeDate(), date);
    QCOMPARE(stamp.ChangeTime(), time);
}

void tst_ChangeStamp::clockIsReadForEachStamp()
{
    // Date and time come from two readings, as the write-back takes them.
    QList<QDateTime> readings = {QDateTime(QDate(2024, 1, 31), QTime(23, 59, 59)),
                                 QDateTime(QDate(2024, 2, 1), QTime(0, 0, 0))};
    TChangeStamp stamp;
    stamp.SetDateSeparator(QLatin1Char('/'));
    stamp.SetTimeSeparator(QLatin1Char(':'));
    stamp.Clock = [&readings] { return readings.takeFirst(); };
    QCOMPARE(stamp.ChangeDate(), QStringLiteral("2024/01/31"));
    QCOMPARE(stamp.ChangeTime(), QStringLiteral("00:00:00"));
    QVERIFY(readings.isEmpty());
}

QTEST_GUILESS_MAIN(tst_ChangeStamp)
#include "tst_changestamp.moc"
