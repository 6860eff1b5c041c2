#include "DbMaker.h"
#include "DbxIniFiles.h"
#include "UserSetup.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <cstdio>
#include <stdexcept>

namespace
{

[[noreturn]] void Usage(const QString& message)
{
    QTextStream(stderr) << "makedemodb: " << message << "\nTry makedemodb --help.\n";
    std::exit(2);
}

struct TCommandLine {
    TDbOptions Options;
    QString IniDir;
    bool UserSetup = false;
};

TCommandLine ReadCommandLine(const QCoreApplication& application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Makes a demo or test database of a grocery shop's products: table PRODUCT and the\n"
        "lookup tables PROVIDER, PROD_ITEM and PROD_CLASS, filled with made-up data that\n"
        "depends only on the seed. With --ini-dir it also writes the matching\n"
        "dbxconnections.ini (section Tallon) and dbxdrivers.ini there.\n\n"
        "For an installed program, --user-setup makes the demo database with both\n"
        "files in the user's data folder (~/.local/share/MassAmend) and points the\n"
        "per-user settings (~/.config/MassAmend/SQLDriver.conf) at them.\n\n"
        "Examples:\n"
        "  massamend-makedemodb --user-setup\n"
        "  makedemodb --database /data/DEMO.FDB --with-demo-row --ini-dir build/bin\n"
        "  makedemodb --database 127.0.0.1:/var/lib/firebird/3.0/data/SHOP.FDB --password "
        "masterkey\n"
        "  makedemodb --backend sqlite --database shop.db --products 100000"));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("backend"), QStringLiteral("firebird (default) or sqlite."),
         QStringLiteral("name"), QStringLiteral("firebird")},
        {QStringLiteral("database"),
         QStringLiteral("The database file; host:path makes it through a Firebird server."),
         QStringLiteral("path")},
        {QStringLiteral("products"), QStringLiteral("How many products (default 5000)."),
         QStringLiteral("n"), QStringLiteral("5000")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the made-up data (default 1)."),
         QStringLiteral("s"), QStringLiteral("1")},
        {QStringLiteral("charset"),
         QStringLiteral("Firebird default character set: BIG_5 (default), NONE (Big5 bytes "
                        "stored as they are) or UTF8."),
         QStringLiteral("set"), QStringLiteral("BIG_5")},
        {QStringLiteral("user"), QStringLiteral("Firebird user (default SYSDBA)."),
         QStringLiteral("name"), QStringLiteral("SYSDBA")},
        {QStringLiteral("password"), QStringLiteral("Firebird password (default masterkey)."),
         QStringLiteral("password"), QStringLiteral("masterkey")},
        {QStringLiteral("with-demo-row"),
         QStringLiteral("Add the product coded -1 that a new user sees first.")},
        {QStringLiteral("ini-dir"),
         QStringLiteral("Write dbxconnections.ini and dbxdrivers.ini into this folder."),
         QStringLiteral("dir")},
        {QStringLiteral("force"), QStringLiteral("Replace an existing database.")},
        {QStringLiteral("user-setup"),
         QStringLiteral("Make the demo database (with the product coded -1) and both files in "
                        "the user's data folder, unless --database and --ini-dir say otherwise, "
                        "and point the per-user settings at them.")},
    });
    parser.process(application);
    if (!parser.positionalArguments().isEmpty())
        Usage(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first()));

    TCommandLine line;
    line.UserSetup = parser.isSet(QStringLiteral("user-setup"));
    TDbOptions& options = line.Options;
    const QString backend = parser.value(QStringLiteral("backend")).toLower();
    if (backend == QLatin1String("firebird"))
        options.Backend = TDbBackend::Firebird;
    else if (backend == QLatin1String("sqlite"))
        options.Backend = TDbBackend::SQLite;
    else
        Usage(QStringLiteral("unknown backend %1").arg(backend));

    options.Database = parser.value(QStringLiteral("database"));
    if (options.Database.isEmpty() && line.UserSetup)
        options.Database = TUserSetup::DemoDatabase(options.Backend == TDbBackend::SQLite);
    if (options.Database.isEmpty()) Usage(QStringLiteral("--database is required"));
    if (options.Backend == TDbBackend::SQLite || !IsServerDatabase(options.Database))
        options.Database = QFileInfo(options.Database).absoluteFilePath();

    bool ok = false;
    options.Products = parser.value(QStringLiteral("products")).toInt(&ok);
    if (!ok || options.Products < 0)
        Usage(QStringLiteral("--products takes a number of 0 or more"));
    options.Seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok) Usage(QStringLiteral("--seed takes a whole number of 0 or more"));

    const QString charset = parser.value(QStringLiteral("charset")).toUpper();
    if (charset == QLatin1String("BIG_5"))
        options.Charset = TDbCharset::Big5;
    else if (charset == QLatin1String("NONE"))
        options.Charset = TDbCharset::None;
    else if (charset == QLatin1String("UTF8"))
        options.Charset = TDbCharset::Utf8;
    else
        Usage(QStringLiteral("unknown character set %1").arg(charset));

    options.User = parser.value(QStringLiteral("user"));
    options.Password = parser.value(QStringLiteral("password"));
    options.WithDemoRow = line.UserSetup || parser.isSet(QStringLiteral("with-demo-row"));
    options.Force = parser.isSet(QStringLiteral("force"));
    line.IniDir = parser.value(QStringLiteral("ini-dir"));
    if (line.IniDir.isEmpty() && line.UserSetup) line.IniDir = TUserSetup::DataFolder();
    return line;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("makedemodb"));
    const auto [options, iniDir, userSetup] = ReadCommandLine(application);

    QTextStream out(stdout);
    try {
        QElapsedTimer timer;
        timer.start();
        TDbMaker maker(options);
        maker.OnProgress = [&out](int done, int total) {
            out << done << " of " << total << " products\n";
            out.flush();
        };
        // The user's data folder may not be there yet.
        if (userSetup && !IsServerDatabase(options.Database))
            QDir().mkpath(QFileInfo(options.Database).absolutePath());
        maker.Make();
        out << "Made " << options.Database << " with " << options.Products << " products in "
            << QString::number(timer.elapsed() / 1000.0, 'f', 1) << " s\n";
        if (!iniDir.isEmpty()) {
            TDbxIniFiles::Write(iniDir, options);
            out << "Wrote " << TDbxIniFiles::ConnectionsFileName() << " and "
                << TDbxIniFiles::DriversFileName() << " in " << iniDir << "\n";
        }
        if (userSetup)
            out << "Wrote " << TUserSetup::WriteSettings(iniDir)
                << ": massamend now opens this database\n";
    } catch (const std::exception& error) {
        out.flush();
        QTextStream(stderr) << "makedemodb: " << QString::fromUtf8(error.what()) << "\n";
        return 1;
    }
    return 0;
}
