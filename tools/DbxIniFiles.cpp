#include "DbxIniFiles.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <stdexcept>

namespace
{

void WriteFile(const QString& path, const QByteArray& contents)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit())
        throw std::runtime_error(
            QStringLiteral("Can't write %1: %2").arg(path, file.errorString()).toStdString());
}

QByteArray Section(const QString& name, const QList<QPair<QString, QString>>& keys)
{
    QByteArray text = "[" + name.toUtf8() + "]\n";
    for (const auto& [key, value] : keys)
        text += key.toUtf8() + "=" + value.toUtf8() + "\n";
    return text;
}

} // namespace

QString TDbxIniFiles::DriverName(TDbBackend backend)
{
    return backend == TDbBackend::Firebird ? QStringLiteral("Interbase") : QStringLiteral("SQLite");
}

QList<QPair<QString, QString>> TDbxIniFiles::ConnectionParams(const TDbOptions& options)
{
    // A UTF8 database must say so; Big5 and NONE databases leave the set
    // empty, which means the workstation's Big5.
    const bool utf8 =
        options.Backend == TDbBackend::Firebird && options.Charset == TDbCharset::Utf8;
    return {
        {QStringLiteral("DriverName"), DriverName(options.Backend)},
        {QStringLiteral("Database"), options.Database},
        {QStringLiteral("RoleName"), QStringLiteral("RoleName")},
        {QStringLiteral("User_Name"), options.User},
        {QStringLiteral("Password"), options.Password},
        {QStringLiteral("ServerCharSet"), utf8 ? QStringLiteral("UTF8") : QString()},
        {QStringLiteral("SQLDialect"), QStringLiteral("3")},
        {QStringLiteral("BlobSize"), QStringLiteral("-1")},
        {QStringLiteral("CommitRetain"), QStringLiteral("False")},
        {QStringLiteral("WaitOnLocks"), QStringLiteral("True")},
        {QStringLiteral("ErrorResourceFile"), QString()},
        {QStringLiteral("LocaleCode"), QStringLiteral("0000")},
        {QStringLiteral("Interbase TransIsolation"), QStringLiteral("ReadCommited")},
        {QStringLiteral("Trim Char"), QStringLiteral("False")},
    };
}

void TDbxIniFiles::Write(const QString& dir, const TDbOptions& options)
{
    if (!QDir().mkpath(dir))
        throw std::runtime_error(QStringLiteral("Can't make %1").arg(dir).toStdString());
    const QDir target(dir);
    WriteFile(target.filePath(ConnectionsFileName()),
              Section(ConnectionName(), ConnectionParams(options)));
    // Both drivers, so that switching engines only touches the connections file.
    const QByteArray drivers =
        Section(DriverName(TDbBackend::Firebird),
                {{QStringLiteral("LibraryName"), QStringLiteral("firebird")},
                 {QStringLiteral("VendorLib"), QStringLiteral("libfbclient.so.2")},
                 {QStringLiteral("GetDriverFunc"), QStringLiteral("isc_attach_database")}}) +
        "\n" +
        Section(DriverName(TDbBackend::SQLite),
                {{QStringLiteral("LibraryName"), QStringLiteral("sqlite")},
                 {QStringLiteral("VendorLib"), QStringLiteral("libsqlite3.so.0")},
                 {QStringLiteral("GetDriverFunc"), QStringLiteral("sqlite3_open_v2")}});
    WriteFile(target.filePath(DriversFileName()), drivers);
}
