#include "TSQLConnection.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

// The program ends itself on SIGINT, SIGTERM and SIGHUP. Firebird's client
// library puts in handlers of its own at its first attach, whose shutdown
// thread may still run when the program exits; an attach must leave the
// handlers it found.
class tst_FirebirdSignals : public QObject
{
    Q_OBJECT

private slots:
    void firstAttachKeepsTheProcessHandlers();
};

namespace
{

void Handler(int) {}

} // namespace

void tst_FirebirdSignals::firstAttachKeepsTheProcessHandlers()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString database = dir.filePath(QStringLiteral("signals.fdb"));
    // Made by another process, so that the attach below is this one's first.
    QProcess isql;
    isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q")});
    QVERIFY(isql.waitForStarted());
    isql.write(QStringLiteral("CREATE DATABASE '%1' USER 'SYSDBA' PASSWORD 'masterkey';\n")
                   .arg(database)
                   .toUtf8());
    isql.closeWriteChannel();
    QVERIFY(isql.waitForFinished());
    QVERIFY2(QFile::exists(database), isql.readAllStandardError().constData());
    struct sigaction mine = {};
    mine.sa_handler = &Handler;
    sigemptyset(&mine.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        QCOMPARE(::sigaction(signal, &mine, nullptr), 0);

    TSQLConnection connection;
    connection.SetLoginPrompt(false);
    connection.SetDriverName(QStringLiteral("Firebird"));
    connection.SetLibraryName(QStringLiteral("firebird"));
    connection.SetVendorLib(QStringLiteral("libfbclient.so.2"));
    connection.SetGetDriverFunc(QStringLiteral("isc_attach_database"));
    connection.Params().Assign({QStringLiteral("Database=") + database,
                                QStringLiteral("User_Name=SYSDBA"),
                                QStringLiteral("Password=masterkey")});
    connection.Open();
    connection.Execute(QStringLiteral("select 1 from RDB$DATABASE"), {});

    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction now = {};
        QCOMPARE(::sigaction(signal, nullptr, &now), 0);
        QVERIFY2(now.sa_handler == &Handler, qPrintable(QString::number(signal)));
    }
    connection.Close();
}

QTEST_GUILESS_MAIN(tst_FirebirdSignals)
#include "tst_firebirdsignals.moc"
