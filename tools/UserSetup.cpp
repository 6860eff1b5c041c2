#include "UserSetup.h"

#include "DbxIniFiles.h"
#include "data/UserDataFolder.h"

#include <QDir>
#include <QSettings>
#include <stdexcept>

QString TUserSetup::DataFolder()
{
    return UserDataFolder();
}

QString TUserSetup::DemoDatabase(bool sqlite)
{
    return QDir(DataFolder())
        .filePath(sqlite ? QStringLiteral("DEMO.db") : QStringLiteral("DEMO.FDB"));
}

QString TUserSetup::WriteSettings(const QString& iniDir)
{
    const QDir dir(QDir(iniDir).absolutePath());
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("MassAmend"),
                       QStringLiteral("SQLDriver"));
    settings.setValue(QStringLiteral("Connection Registry File"),
                      dir.filePath(TDbxIniFiles::ConnectionsFileName()));
    settings.setValue(QStringLiteral("Driver Registry File"),
                      dir.filePath(TDbxIniFiles::DriversFileName()));
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw std::runtime_error(
            QStringLiteral("Can't write %1").arg(settings.fileName()).toStdString());
    return settings.fileName();
}
