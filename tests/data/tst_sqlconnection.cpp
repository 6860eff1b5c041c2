#include "Exceptions.h"
#include "SecondConnection.h"
#include "TSQLConnection.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTest>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Opening the connection: where its settings come from and every way that
// can fail, on each backend.
class tst_SQLConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void connectsWithTheFilesOfTheSettings_data() { AddBackendRows(); }
    void connectsWithTheFilesOfTheSettings();
    void filesAreBesideTheProgramWithoutSettings();
    void paramsAreLoadedOncePerConnection_data() { AddBackendRows(); }
    void paramsAreLoadedOncePerConnection();
    void withoutLoadParamsTheDeclaredListIsUsed_data() { AddBackendRows(); }
    void withoutLoadParamsTheDeclaredListIsUsed();
    void setupErrors_data();
    void setupErrors();
    void unreadableConnectionsFile_data() { AddBackendRows(); }
    void unreadableConnectionsFile();
    void unreachableDatabase_data() { AddBackendRows(); }
    void unreachableDatabase();
    void wrongPassword_data() { AddBackendRows(); }
    void wrongPassword();
    void closeAndReopen_data() { AddBackendRows(); }
    void closeAndReopen();
};

namespace
{

QSettings UserSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("MassAmend"),
                     QStringLiteral("SQLDriver"));
}

void PointSettings(const QString& connections, const QString& drivers)
{
    QSettings s = UserSettings();
    s.setValue(QStringLiteral("Connection Registry File"), connections);
    s.setValue(QStringLiteral("Driver Registry File"), drivers);
}

void WriteText(const QString& path, const QString& text)
{
    QFile f(path);
    QVERIFY2(f.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    f.write(text.toUtf8());
}

QString DriverSection(const TestBackend& backend)
{
    return backend.IsFirebird() ? QStringLiteral("[Interbase]\nLibraryName=firebird\n"
                                                 "VendorLib=libfbclient.so.2\n"
                                                 "GetDriverFunc=isc_attach_database\n")
                                : QStringLiteral("[SQLite]\nLibraryName=sqlite\n"
                                                 "VendorLib=libsqlite3.so.0\n"
                                                 "GetDriverFunc=sqlite3_open_v2\n");
}

QString DriverName(const TestBackend& backend)
{
    return backend.IsFirebird() ? QStringLiteral("Interbase") : QStringLiteral("SQLite");
}

// The connection of the main window, as it is declared.
void Declare(TSQLConnection& c)
{
    c.setObjectName(QStringLiteral("SQLConnection1"));
    c.SetConnectionName(QStringLiteral("Tallon"));
    c.SetDriverName(QStringLiteral("Interbase"));
    c.SetGetDriverFunc(QStringLiteral("getSQLDriverINTERBASE"));
    c.SetLibraryName(QStringLiteral("dbexpint.dll"));
    c.SetVendorLib(QStringLiteral("gds32.dll"));
    c.SetLoginPrompt(false);
    c.SetLoadParamsOnConnect(true);
    c.Params().SetText(QStringLiteral("DriverName=Interbase\n"
                                      "Database=localhost:C:\\Tallon\\Data\\Data67\\POSDATA.GDB\n"
                                      "RoleName=RoleName\nUser_Name=SYSDBA\nPassword=quillsand\n"
                                      "ServerCharSet=\nSQLDialect=3\nBlobSize=-1\n"
                                      "CommitRetain=False\nWaitOnLocks=True\nErrorResourceFile=\n"
                                      "LocaleCode=0000\nInterbase TransIsolation=ReadCommited\n"
                                      "Trim Char=False"));
}

QString ErrorOf(TSQLConnection& c)
{
    try {
        c.Open();
    } catch (const EDatabaseError& e) {
        return e.Message();
    }
    return QString();
}

// A TCP port on 127.0.0.1 where nothing listens.
int ClosedPort()
{
    const int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t n = sizeof a;
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &n);
    close(s);
    return ntohs(a.sin_port);
}

} // namespace

void tst_SQLConnection::initTestCase()
{
    TestDatabase::IsolateUserSettings();
}

void tst_SQLConnection::connectsWithTheFilesOfTheSettings()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));

    TSQLConnection c;
    Declare(c);
    c.Open();
    QVERIFY(c.Connected());
    QCOMPARE(TSQLConnection::ConnectionRegistryFile(), db.ConnectionsFile());
    QCOMPARE(TSQLConnection::DriverRegistryFile(), db.DriversFile());
    // The section replaced the declared list, and the drivers file the library names.
    QCOMPARE(c.Params().Values(QStringLiteral("database")), db.Database());
    QCOMPARE(c.Params().Values(QStringLiteral("Password")), db.Options().Password);
    QCOMPARE(c.DriverName(), DriverName(backend));
    QCOMPARE(c.LibraryName(),
             backend.IsFirebird() ? QStringLiteral("firebird") : QStringLiteral("sqlite"));
    QCOMPARE(c.VendorLib(), backend.IsFirebird() ? QStringLiteral("libfbclient.so.2")
                                                 : QStringLiteral("libsqlite3.so.0"));
    QCOMPARE(c.GetDriverFunc(), backend.IsFirebird() ? QStringLiteral("isc_attach_database")
                                                     : QStringLiteral("sqlite3_open_v2"));

    auto cursor = c.OpenCursor(QStringLiteral("SELECT COUNT(*) FROM PRODUCT"), {});
    QVERIFY(cursor->Next());
    QCOMPARE(qRound(cursor->Column(0).DataType == TFieldType::ftInteger
                        ? double(cursor->GetInteger(0))
                        : cursor->GetFloat(0)),
             20);
}

void tst_SQLConnection::filesAreBesideTheProgramWithoutSettings()
{
    QSettings s = UserSettings();
    s.remove(QStringLiteral("Connection Registry File"));
    s.remove(QStringLiteral("Driver Registry File"));
    const QDir dir(QCoreApplication::applicationDirPath());
    QCOMPARE(TSQLConnection::ConnectionRegistryFile(),
             dir.filePath(QStringLiteral("dbxconnections.ini")));
    QCOMPARE(TSQLConnection::DriverRegistryFile(), dir.filePath(QStringLiteral("dbxdrivers.ini")));
    // A relative name in the settings is taken from the program's folder too.
    s.setValue(QStringLiteral("Connection Registry File"), QStringLiteral("conf/my.ini"));
    QCOMPARE(TSQLConnection::ConnectionRegistryFile(), dir.filePath(QStringLiteral("conf/my.ini")));
    s.remove(QStringLiteral("Connection Registry File"));
}

void tst_SQLConnection::paramsAreLoadedOncePerConnection()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));

    TSQLConnection c;
    Declare(c);
    c.Open();
    c.Close();
    QVERIFY(!c.Connected());
    // Point the file at a database that does not exist: the loaded list stays in use.
    QFile f(db.ConnectionsFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    WriteText(db.ConnectionsFile(),
              QString(text).replace(db.Database(), db.Database() + QStringLiteral(".missing")));
    c.Open();
    QVERIFY(c.Connected());
    QCOMPARE(c.Params().Values(QStringLiteral("Database")), db.Database());

    TSQLConnection other;
    Declare(other);
    QVERIFY_THROWS_EXCEPTION(ESQLError, other.Open());
    QCOMPARE(other.Params().Values(QStringLiteral("Database")),
             db.Database() + QStringLiteral(".missing"));
    QVERIFY(!other.Connected());
}

void tst_SQLConnection::withoutLoadParamsTheDeclaredListIsUsed()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    // No files at all: nothing may be read.
    PointSettings(db.Dir() + QStringLiteral("/none.ini"), db.Dir() + QStringLiteral("/none2.ini"));

    TSQLConnection c;
    c.SetLoginPrompt(false);
    c.SetDriverName(DriverName(backend));
    c.SetLibraryName(backend.IsFirebird() ? QStringLiteral("firebird") : QStringLiteral("sqlite"));
    c.SetVendorLib(backend.IsFirebird() ? QStringLiteral("libfbclient.so.2")
                                        : QStringLiteral("libsqlite3.so.0"));
    c.SetGetDriverFunc(backend.IsFirebird() ? QStringLiteral("isc_attach_database")
                                            : QStringLiteral("sqlite3_open_v2"));
    c.Params().SetValue(QStringLiteral("Database"), db.Database());
    c.Params().SetValue(QStringLiteral("User_Name"), db.Options().User);
    c.Params().SetValue(QStringLiteral("Password"), db.Options().Password);
    c.SetConnected(true);
    QVERIFY(c.Connected());
    c.SetConnected(false);
    QVERIFY(!c.Connected());
}

void tst_SQLConnection::setupErrors_data()
{
    QTest::addColumn<TestBackend>("backend");
    QTest::addColumn<QString>("connectionName");
    QTest::addColumn<QString>("connections"); // "<missing>", "<folder>" or the file's text
    QTest::addColumn<QString>("drivers");
    QTest::addColumn<QString>("message"); // %C, %D: the files' paths

    for (const TestBackend& b : ConfiguredBackends()) {
        const QString driver = DriverSection(b);
        const QString name = DriverName(b);
        const QString good = QStringLiteral("[Tallon]\nDriverName=%1\nDatabase=%DB\n"
                                            "User_Name=SYSDBA\nPassword=%PW\n")
                                 .arg(name);
        auto row = [&](const char* label) -> QTestData& {
            return QTest::addRow("%s:%s", qPrintable(b.Name()), label) << b;
        };
        row("no connection name") << "" << good << driver << "Connection name missing";
        row("no connections file")
            << "Tallon"
            << "<missing>" << driver << "Driver/Connection Registry File '%C' not found";
        row("connections file is a folder")
            << "Tallon"
            << "<folder>" << driver << "Driver/Connection Registry File '%C' not found";
        row("no drivers file") << "Tallon" << good << "<missing>"
                               << "Driver/Connection Registry File '%D' not found";
        row("no section") << "Other" << good << driver << "Missing DriverName property";
        row("section without DriverName")
            << "Tallon" << QString(good).replace("DriverName=" + name + "\n", "") << driver
            << "Missing DriverName property";
        row("driver not in drivers file")
            << "Tallon" << QString(good).replace("DriverName=" + name, "DriverName=Oracle")
            << driver << "DLL/Shared Library Name not Set";
        row("no LibraryName") << "Tallon" << good
                              << QString(driver).replace(QRegularExpression("LibraryName=.*\n"), "")
                              << "DLL/Shared Library Name not Set";
        row("blank VendorLib") << "Tallon" << good
                               << QString(driver).replace(QRegularExpression("VendorLib=.*\n"),
                                                          "VendorLib=  \n")
                               << "DLL/Shared Library Name not Set";
        row("section without Database") << "Tallon" << QString(good).replace("Database=%DB\n", "")
                                        << driver << "Missing Database property";
        row("empty Database") << "Tallon" << QString(good).replace("Database=%DB", "Database=")
                              << driver << "Missing Database property";
        row("unknown driver library")
            << "Tallon" << good
            << QString(driver).replace(QRegularExpression("LibraryName=.*\n"),
                                       "LibraryName=dbexpint.dll\n")
            << "Unable to Load dbexpint.dll";
        row("client library that does not load")
            << "Tallon" << good
            << QString(driver).replace(QRegularExpression("VendorLib=.*\n"),
                                       "VendorLib=libnosuchclient.so.7\n")
            << "Unable to Load libnosuchclient.so.7";
        row("entry point not in the client library")
            << "Tallon" << good
            << QString(driver).replace(QRegularExpression("GetDriverFunc=.*\n"),
                                       "GetDriverFunc=getSQLDriverINTERBASE\n")
            << "Unable to Find Procedure getSQLDriverINTERBASE";
        row("client library of the other engine")
            << "Tallon" << good
            << QString(driver).replace(QRegularExpression("VendorLib=.*\n"),
                                       b.IsFirebird() ? "VendorLib=libsqlite3.so.0\n"
                                                      : "VendorLib=libfbclient.so.2\n")
            << QStringLiteral("Unable to Find Procedure ") +
                   (b.IsFirebird() ? "isc_attach_database" : "sqlite3_open_v2");
    }
}

void tst_SQLConnection::setupErrors()
{
    QFETCH(TestBackend, backend);
    QFETCH(QString, connectionName);
    QFETCH(QString, connections);
    QFETCH(QString, drivers);
    QFETCH(QString, message);

    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    const QString connectionsPath = db.Dir() + QStringLiteral("/conn/dbxconnections.ini");
    const QString driversPath = db.Dir() + QStringLiteral("/conn/dbxdrivers.ini");
    QVERIFY(QDir().mkpath(db.Dir() + QStringLiteral("/conn")));
    auto place = [&](const QString& path, const QString& text) {
        if (text == QLatin1String("<folder>"))
            QVERIFY(QDir().mkpath(path));
        else if (text != QLatin1String("<missing>"))
            WriteText(path, QString(text)
                                .replace(QLatin1String("%DB"), db.Database())
                                .replace(QLatin1String("%PW"), db.Options().Password));
    };
    place(connectionsPath, connections);
    place(driversPath, drivers);
    PointSettings(connectionsPath, driversPath);

    TSQLConnection c;
    Declare(c);
    c.SetConnectionName(connectionName);
    QCOMPARE(ErrorOf(c), QString(message)
                             .replace(QLatin1String("%C"), connectionsPath)
                             .replace(QLatin1String("%D"), driversPath));
    QVERIFY(!c.Connected());
}

void tst_SQLConnection::unreadableConnectionsFile()
{
    QFETCH(TestBackend, backend);
    if (geteuid() == 0) QSKIP("root reads every file");
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    QFile::setPermissions(db.ConnectionsFile(), QFileDevice::Permissions());
    TSQLConnection c;
    Declare(c);
    QVERIFY(
        ErrorOf(c).startsWith(QStringLiteral("Driver/Connection Registry File '%1' can't be read")
                                  .arg(db.ConnectionsFile())));
    QVERIFY(!c.Connected());
}

void tst_SQLConnection::unreachableDatabase()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    TSQLConnection c;
    Declare(c);
    QString database;
    QString expected;
    switch (backend.Type) {
    case TestBackend::SQLite:
        database = db.Dir() + QStringLiteral("/no/such/folder/test.db");
        expected = QStringLiteral("unable to open database file");
        break;
    case TestBackend::Firebird:
        database = db.Dir() + QStringLiteral("/no/such/folder/test.fdb");
        expected = QStringLiteral("I/O error");
        break;
    case TestBackend::Server:
        // A server that is down: nothing listens on that port.
        database = QStringLiteral("127.0.0.1/%1:%2")
                       .arg(ClosedPort())
                       .arg(db.Database().section(QLatin1Char(':'), 1));
        expected = QStringLiteral("Unable to complete network request");
        break;
    }
    c.SetLoadParamsOnConnect(false);
    c.SetDriverName(DriverName(backend));
    c.SetLibraryName(backend.IsFirebird() ? QStringLiteral("firebird") : QStringLiteral("sqlite"));
    c.SetVendorLib(backend.IsFirebird() ? QStringLiteral("libfbclient.so.2")
                                        : QStringLiteral("libsqlite3.so.0"));
    c.SetGetDriverFunc(backend.IsFirebird() ? QStringLiteral("isc_attach_database")
                                            : QStringLiteral("sqlite3_open_v2"));
    c.Params().SetValue(QStringLiteral("Database"), database);
    c.Params().SetValue(QStringLiteral("Password"), db.Options().Password);
    try {
        c.Open();
        QFAIL("connected");
    } catch (const ESQLError& e) {
        QVERIFY2(e.Message().contains(expected), qPrintable(e.Message()));
    }
    QVERIFY(!c.Connected());
    // Nothing was made where the database was looked for.
    QVERIFY(!QFile::exists(database));
}

void tst_SQLConnection::wrongPassword()
{
    QFETCH(TestBackend, backend);
    if (backend.Type != TestBackend::Server) QSKIP("only the server checks passwords");
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    QFile f(db.ConnectionsFile());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    f.close();
    WriteText(db.ConnectionsFile(),
              QString(text).replace(QStringLiteral("Password=") + db.Options().Password,
                                    QStringLiteral("Password=wrong")));
    TSQLConnection c;
    Declare(c);
    try {
        c.Open();
        QFAIL("connected");
    } catch (const ESQLError& e) {
        QVERIFY2(e.Message().contains(QStringLiteral("password")), qPrintable(e.Message()));
    }
    QVERIFY(!c.Connected());
}

void tst_SQLConnection::closeAndReopen()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend);
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    TSQLConnection c;
    Declare(c);
    // A statement opens a closed connection first.
    c.Execute(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = 'x' WHERE PROD_ID = 'none'"), {});
    QVERIFY(c.Connected());
    // Rows read before closing stay readable.
    auto cursor = c.OpenCursor(QStringLiteral("SELECT PROD_ID FROM PRODUCT ORDER BY PROD_ID"), {});
    c.Close();
    int rows = 0;
    while (cursor->Next())
        ++rows;
    QCOMPARE(rows, 20);
    cursor.reset();
    c.Open();
    QVERIFY(c.Connected());
    c.Close();
    // The engine let go of the database: a second connection can drop a table.
    SecondConnection second(db);
    QVERIFY(second.Execute(QStringLiteral("DROP TABLE PROD_CLASS")));
}

QTEST_GUILESS_MAIN(tst_SQLConnection)
#include "tst_sqlconnection.moc"
