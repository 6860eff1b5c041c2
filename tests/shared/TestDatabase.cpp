#include "TestDatabase.h"

#include "tools/Big5Iconv.h"
#include "tools/DbMaker.h"
#include "tools/DbxIniFiles.h"
#include "tools/FbDatabase.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QSettings>
#include <QUuid>
#include <stdexcept>
#include <sys/stat.h>

namespace
{

// Where the data layer looks for "Connection Registry File" and
// "Driver Registry File".
const char* const SettingsOrganization = "MassAmend";
const char* const SettingsApplication = "SQLDriver";

// The server may run as another user: everybody may write here, as in /tmp.
QString ServerFolder()
{
    const QString folder = QStringLiteral("/tmp/massamend-server-tests");
    QDir().mkpath(folder);
    chmod(folder.toLocal8Bit().constData(), 01777);
    return folder;
}

bool IsLocalHost(const QString& host)
{
    return host == QLatin1String("127.0.0.1") || host == QLatin1String("localhost") ||
           host == QLatin1String("::1");
}

// Making a Firebird database takes about a second, copying one a few
// milliseconds: each kind is made once per process and copied for every
// test. A file made by the embedded engine serves the server as well.
QString TemplateFile(TDbOptions options)
{
    static QTemporaryDir cache;
    static QHash<QString, QString> made;
    const QString key = QStringLiteral("%1-%2-%3-%4-%5")
                            .arg(int(options.Backend))
                            .arg(options.Products)
                            .arg(options.Seed)
                            .arg(int(options.Charset))
                            .arg(options.WithDemoRow);
    if (!made.contains(key)) {
        if (!cache.isValid())
            throw std::runtime_error("Can't make a temporary folder: " +
                                     cache.errorString().toStdString());
        options.Database = cache.filePath(QString::number(made.size()));
        options.User = QStringLiteral("SYSDBA");
        options.ForcedWrites = false;
        TDbMaker(options).Make();
        made.insert(key, options.Database);
    }
    return made.value(key);
}

void CopyTemplate(const TDbOptions& options, const QString& target)
{
    if (!QFile::copy(TemplateFile(options), target))
        throw std::runtime_error("Can't copy the database to " + target.toStdString());
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                      QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther);
}

QSettings UserSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope,
                     QLatin1String(SettingsOrganization), QLatin1String(SettingsApplication));
}

} // namespace

TestDatabase::TestDatabase(const TestBackend& backend, const TestDatabaseOptions& options)
    : FBackend(backend)
{
    if (!FDir.isValid()) {
        FError = QStringLiteral("Can't make a temporary folder: ") + FDir.errorString();
        return;
    }
    FOptions.Backend = backend.IsFirebird() ? TDbBackend::Firebird : TDbBackend::SQLite;
    FOptions.Products = options.Products;
    FOptions.Seed = options.Seed;
    FOptions.Charset = options.Charset;
    FOptions.WithDemoRow = options.WithDemoRow;
    FOptions.ForcedWrites = false;
    try {
        switch (backend.Type) {
        case TestBackend::SQLite:
        case TestBackend::Firebird:
            FOptions.Database = FDir.filePath(backend.IsFirebird() ? QStringLiteral("test.fdb")
                                                                   : QStringLiteral("test.db"));
            if (options.Cached)
                CopyTemplate(FOptions, FOptions.Database);
            else
                TDbMaker(FOptions).Make();
            break;
        case TestBackend::Server: {
            const QString file = ServerFolder() + QLatin1Char('/') +
                                 QUuid::createUuid().toString(QUuid::WithoutBraces) +
                                 QStringLiteral(".fdb");
            FOptions.Database = ServerHost() + QLatin1Char(':') + file;
            FOptions.Password = ServerPassword();
            if (options.Cached && IsLocalHost(ServerHost()))
                CopyTemplate(FOptions, file);
            else
                TDbMaker(FOptions).Make();
            FOnServer = true;
            break;
        }
        }
        TDbxIniFiles::Write(FDir.path(), FOptions);
    } catch (const std::exception& error) {
        FError = QStringLiteral("Can't make %1: %2")
                     .arg(FOptions.Database, QString::fromUtf8(error.what()));
        return;
    }
    PointUserSettings();
}

TestDatabase::~TestDatabase()
{
    if (IsValid()) ClearUserSettings();
    if (FOnServer) {
        try {
            TFbDatabase(FOptions.Database, FOptions.User, FOptions.Password, FOptions.Charset)
                .Drop();
        } catch (const std::exception& error) {
            // Still attached somewhere: take the file away at least.
            qWarning("Can't drop %s: %s", qPrintable(FOptions.Database), error.what());
            QFile::remove(FOptions.Database.section(QLatin1Char(':'), 1));
        }
    }
}

QString TestDatabase::ConnectionsFile() const
{
    return QDir(FDir.path()).filePath(TDbxIniFiles::ConnectionsFileName());
}

QString TestDatabase::DriversFile() const
{
    return QDir(FDir.path()).filePath(TDbxIniFiles::DriversFileName());
}

QString TestDatabase::Isql(const QString& script) const
{
    const bool raw = FOptions.Charset == TDbCharset::None;
    QProcess isql;
    isql.setProcessChannelMode(QProcess::MergedChannels);
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-q"), QStringLiteral("-ch"),
                raw ? QStringLiteral("BIG_5") : QStringLiteral("UTF8"), QStringLiteral("-user"),
                FOptions.User, QStringLiteral("-password"), FOptions.Password, FOptions.Database});
    if (!isql.waitForStarted())
        return QStringLiteral("isql-fb does not start: ") + isql.errorString();
    try {
        isql.write(raw ? TBig5Iconv::Encode(script) : script.toUtf8());
    } catch (const std::exception& error) {
        isql.kill();
        isql.waitForFinished(-1);
        return QString::fromUtf8(error.what());
    }
    isql.closeWriteChannel();
    isql.waitForFinished(-1);
    const QByteArray output = isql.readAll();
    if (!raw) return QString::fromUtf8(output);
    try {
        return TBig5Iconv::Decode(output);
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    }
}

void TestDatabase::IsolateUserSettings()
{
    static QTemporaryDir home;
    static const bool pointed = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, home.path());
        return true;
    }();
    Q_UNUSED(pointed);
}

void TestDatabase::PointUserSettings() const
{
    IsolateUserSettings();
    QSettings settings = UserSettings();
    settings.setValue(QStringLiteral("Connection Registry File"), ConnectionsFile());
    settings.setValue(QStringLiteral("Driver Registry File"), DriversFile());
}

void TestDatabase::ClearUserSettings() const
{
    QSettings settings = UserSettings();
    settings.remove(QStringLiteral("Connection Registry File"));
    settings.remove(QStringLiteral("Driver Registry File"));
}
