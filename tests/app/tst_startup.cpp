#include "Exceptions.h"
#include "FrmMassAmend.h"
#include "Getdata.h"
#include "TApplication.h"
#include "TProgressDialogSink.h"
#include "TRecordingMessages.h"
#include "TStartup.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QDir>
#include <QPointer>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <stdexcept>

// Start-up: title, main window, message loop, show states, exit codes and the
// "Application Error" box.
class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startupErrorText_data();
    void startupErrorText();
    void failedStartShowsApplicationErrorAndEndsWith1_data();
    void failedStartShowsApplicationErrorAndEndsWith1();
    void missingConnectionsFileEndsStartWith1();
    void closingTheMainWindowEndsWith0();
    void oneHiddenQueryDialogAfterTheMainWindow();
    void showStates_data();
    void showStates();
    void mainWindowOnTheDatabase_data();
    void mainWindowOnTheDatabase();
};

namespace
{

// Closes the main window once the message loop runs, after noting how it
// was shown.
struct TCloser {
    Qt::WindowStates States;
    bool Visible = false;
    QWidget* MainForm = nullptr;
    // The query dialog as the loop ran: freed on the way out, so only noted.
    const TFrmgetdata* Dialog = nullptr;
    bool DialogVisible = false;

    void CloseSoon(TApplication& application)
    {
        QTimer::singleShot(0, [this, &application] {
            Dialog = Frmgetdata;
            DialogVisible = Dialog && Dialog->isVisible();
            MainForm = application.MainForm();
            if (MainForm) {
                States = MainForm->windowState();
                Visible = MainForm->isVisible();
                MainForm->close();
            }
        });
    }
};

} // namespace

void tst_Startup::initTestCase()
{
    TestDatabase::IsolateUserSettings();
}

void tst_Startup::startupErrorText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("text");
    QTest::newRow("stop added") << QStringLiteral("Missing Database property")
                                << QStringLiteral("Exception EDatabaseError in module massamend at "
                                                  "0001A2B0.\r\nMissing Database property.\r\n");
    QTest::newRow("ends in a stop")
        << QStringLiteral("Unable to Load firebird.")
        << QStringLiteral("Exception EDatabaseError in module massamend "
                          "at 0001A2B0.\r\nUnable to Load firebird.\r\n");
    // Unlike the error box of a handler, any last character but "." gets one.
    QTest::newRow("ends in a quote")
        << QStringLiteral("Field 'X' not found'")
        << QStringLiteral("Exception EDatabaseError in module massamend at 0001A2B0.\r\nField 'X' "
                          "not found'.\r\n");
    QTest::newRow("empty")
        << QString()
        << QStringLiteral("Exception EDatabaseError in module massamend at 0001A2B0.\r\n\r\n");
}

void tst_Startup::startupErrorText()
{
    QFETCH(QString, message);
    QFETCH(QString, text);
    QCOMPARE(TApplication::StartupErrorText(QStringLiteral("EDatabaseError"),
                                            QStringLiteral("massamend"), 0x1A2B0, message),
             text);
}

void tst_Startup::failedStartShowsApplicationErrorAndEndsWith1_data()
{
    QTest::addColumn<bool>("ownException");
    QTest::addColumn<QString>("pattern");
    QTest::newRow("data layer") << true
                                << QStringLiteral(
                                       "^Exception EDatabaseError in module tst_startup at "
                                       "[0-9A-F]{8}\\.\\r\\nMissing Database property\\."
                                       "\\r\\n$");
    QTest::newRow("library") << false
                             << QStringLiteral(
                                    "^Exception std::runtime_error in module tst_startup "
                                    "at [0-9A-F]{8}\\.\\r\\nno memory\\.\\r\\n$");
}

void tst_Startup::failedStartShowsApplicationErrorAndEndsWith1()
{
    QFETCH(bool, ownException);
    QFETCH(QString, pattern);
    TRecordingMessages boxes;
    TApplication application;
    const int exitCode = TStartup::Run(
        application,
        [ownException]() -> std::unique_ptr<QWidget> {
            if (ownException) throw EDatabaseError(QStringLiteral("Missing Database property"));
            throw std::runtime_error("no memory");
        },
        TShowState::ssNormal);
    QCOMPARE(exitCode, 1);
    QCOMPARE(boxes.Boxes.size(), 1);
    QCOMPARE(boxes.Boxes.first().Kind, QStringLiteral("error"));
    QCOMPARE(boxes.Boxes.first().Caption, QStringLiteral("Application Error"));
    QVERIFY2(QRegularExpression(pattern).match(boxes.Boxes.first().Text).hasMatch(),
             qPrintable(boxes.Boxes.first().Text));
    QCOMPARE(application.MainForm(), nullptr);
}

void tst_Startup::missingConnectionsFileEndsStartWith1()
{
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).filePath(QStringLiteral("dbxconnections.ini"));
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("MassAmend"),
              QStringLiteral("SQLDriver"))
        .setValue(QStringLiteral("Connection Registry File"), missing);
    TRecordingMessages boxes;
    TApplication application;
    const int exitCode = TStartup::Run(
        application, [] { return std::make_unique<TFormMassAmend>(); }, TShowState::ssNormal);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("MassAmend"),
              QStringLiteral("SQLDriver"))
        .remove(QStringLiteral("Connection Registry File"));
    QCOMPARE(exitCode, 1);
    QCOMPARE(boxes.Boxes.size(), 1);
    QCOMPARE(boxes.Boxes.first().Caption, QStringLiteral("Application Error"));
    QVERIFY2(boxes.Boxes.first().Text.startsWith(
                 QStringLiteral("Exception EDatabaseError in module tst_startup at ")),
             qPrintable(boxes.Boxes.first().Text));
    QVERIFY2(boxes.Boxes.first().Text.endsWith(
                 QStringLiteral(".\r\nDriver/Connection Registry File '%1' not found.\r\n")
                     .arg(missing)),
             qPrintable(boxes.Boxes.first().Text));
}

void tst_Startup::closingTheMainWindowEndsWith0()
{
    TRecordingMessages boxes;
    TApplication application;
    TCloser closer;
    QWidget* created = nullptr;
    closer.CloseSoon(application);
    const int exitCode = TStartup::Run(
        application,
        [&created] {
            auto form = std::make_unique<QWidget>();
            created = form.get();
            return form;
        },
        TShowState::ssNormal);
    QCOMPARE(exitCode, 0);
    QCOMPARE(application.Title(), QStringLiteral("tst_startup"));
    QCOMPARE(closer.MainForm, created);
    QVERIFY(closer.Visible);
    QCOMPARE(boxes.Boxes.size(), 0);
}

void tst_Startup::oneHiddenQueryDialogAfterTheMainWindow()
{
    TRecordingMessages boxes;
    TApplication application;
    TCloser closer;
    const QPointer<TFrmgetdata> earlier = Frmgetdata;
    bool dialogBeforeMainWindow = true;
    closer.CloseSoon(application);
    const int exitCode = TStartup::Run(
        application,
        [&] {
            dialogBeforeMainWindow = Frmgetdata != earlier;
            return std::make_unique<QWidget>();
        },
        TShowState::ssNormal);
    QCOMPARE(exitCode, 0);
    QCOMPARE(boxes.Boxes.size(), 0);
    QVERIFY(!dialogBeforeMainWindow);
    // Made by start-up, still there when the main window closes, never shown.
    QVERIFY(closer.Dialog);
    QVERIFY(closer.Dialog != earlier.data());
    QVERIFY(!closer.DialogVisible);
}

void tst_Startup::showStates_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("windowState");
    QTest::newRow("unset") << QString() << int(TShowState::ssNormal) << int(Qt::WindowNoState);
    QTest::newRow("maximized") << QStringLiteral("maximized") << int(TShowState::ssMaximized)
                               << int(Qt::WindowMaximized);
    QTest::newRow("minimized") << QStringLiteral("Minimized") << int(TShowState::ssMinimized)
                               << int(Qt::WindowMinimized);
    QTest::newRow("anything else")
        << QStringLiteral("hidden") << int(TShowState::ssNormal) << int(Qt::WindowNoState);
}

void tst_Startup::showStates()
{
    QFETCH(QString, setting);
    QFETCH(int, state);
    QFETCH(int, windowState);
    qputenv("MASSAMEND_SHOW_STATE", setting.toUtf8());
    const TShowState read = TStartup::ShowStateFromEnvironment();
    qunsetenv("MASSAMEND_SHOW_STATE");
    QCOMPARE(int(read), state);

    TApplication application;
    TCloser closer;
    closer.CloseSoon(application);
    QCOMPARE(TStartup::Run(
                 application, [] { return std::make_unique<QWidget>(); }, read),
             0);
    QCOMPARE(int(closer.States), windowState);
}

void tst_Startup::mainWindowOnTheDatabase_data()
{
    AddBackendRows();
}

void tst_Startup::mainWindowOnTheDatabase()
{
    QFETCH(TestBackend, backend);
    TestDatabase database(backend);
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    TRecordingMessages boxes;
    TApplication application;
    TCloser closer;
    closer.CloseSoon(application);
    int rows = -1;
    bool progressDialog = false;
    QWidget* created = nullptr;
    const int exitCode = TStartup::Run(
        application,
        [&] {
            auto form = std::make_unique<TFormMassAmend>();
            rows = form->CDS_PRODUCT->RecordCount();
            progressDialog = dynamic_cast<TProgressDialogSink*>(&form->Progress()) != nullptr;
            created = form.get();
            return form;
        },
        TShowState::ssNormal);
    QCOMPARE(exitCode, 0);
    QCOMPARE(boxes.Boxes.size(), 0);
    QCOMPARE(rows, 0);
    QVERIFY(progressDialog);
    QVERIFY(created);
    QCOMPARE(closer.MainForm, created);
    QVERIFY(closer.Visible);
}

QTEST_MAIN(tst_Startup)
#include "tst_startup.moc"
