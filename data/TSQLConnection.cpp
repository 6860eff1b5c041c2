#include "TSQLConnection.h"

#include "Exceptions.h"
#include "TIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace
{

QString RegistryFile(const char* value, const char* fallback)
{
    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                             QStringLiteral("MassAmend"), QStringLiteral("SQLDriver"));
    QString file = settings.value(QLatin1String(value)).toString().trimmed();
    if (file.isEmpty()) file = QLatin1String(fallback);
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(file);
}

void CheckRegistryFile(const QString& path)
{
    if (!QFileInfo(path).isFile())
        throw EDatabaseError(
            QStringLiteral("Driver/Connection Registry File '%1' not found").arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EDatabaseError(
            QStringLiteral("Driver/Connection Registry File '%1' can't be read: %2")
                .arg(path, file.errorString()));
}

} // namespace

TSQLConnection::TSQLConnection(QObject* owner) : QObject(owner) {}

TSQLConnection::~TSQLConnection() = default;

QString TSQLConnection::ConnectionRegistryFile()
{
    return RegistryFile("Connection Registry File", "dbxconnections.ini");
}

QString TSQLConnection::DriverRegistryFile()
{
    return RegistryFile("Driver Registry File", "dbxdrivers.ini");
}

void TSQLConnection::SetConnectionName(const QString& value)
{
    if (value == FConnectionName) return;
    FConnectionName = value;
    FParamsLoaded = false;
}

void TSQLConnection::SetConnected(bool value)
{
    if (value)
        Open();
    else
        Close();
}

void TSQLConnection::LoadParams()
{
    const QString connections = ConnectionRegistryFile();
    if (FConnectionName.isEmpty()) throw EDatabaseError(QStringLiteral("Connection name missing"));
    CheckRegistryFile(connections);
    if (!FParamsLoaded) {
        FParams.Assign(TIniFile(connections).ReadSectionValues(FConnectionName));
        FParamsLoaded = true;
    }
    FDriverName = FParams.Values(QStringLiteral("DriverName")).trimmed();
    if (FDriverName.isEmpty()) return;
    const QString drivers = DriverRegistryFile();
    CheckRegistryFile(drivers);
    const TIniFile ini(drivers);
    FLibraryName = ini.ReadString(FDriverName, QStringLiteral("LibraryName"), QString());
    FVendorLib = ini.ReadString(FDriverName, QStringLiteral("VendorLib"), QString()).trimmed();
    FGetDriverFunc = ini.ReadString(FDriverName, QStringLiteral("GetDriverFunc"), QString());
}

void TSQLConnection::Open()
{
    if (FConnection) return;
    if (FLoadParamsOnConnect) LoadParams();
    if (FDriverName.trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("Missing DriverName property"));
    if (FLibraryName.trimmed().isEmpty() || FVendorLib.trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("DLL/Shared Library Name not Set"));
    if (FParams.Values(QStringLiteral("Database")).trimmed().isEmpty())
        throw EDatabaseError(QStringLiteral("Missing Database property"));

    std::unique_ptr<TSQLDriver> driver = CreateSQLDriver(FLibraryName);
    if (!driver) throw EDatabaseError(QStringLiteral("Unable to Load %1").arg(FLibraryName));
    driver->Load(FVendorLib.trimmed(), FGetDriverFunc.trimmed());
    if (FLoginPrompt && OnLogin) OnLogin(*this, FParams);

    QMap<QString, QString> params;
    for (int i = 0; i < FParams.Count(); ++i)
        if (FParams.IndexOfName(FParams.Names(i)) == i)
            params.insert(FParams.Names(i).trimmed(), FParams.ValueFromIndex(i));
    FConnection = driver->Connect(params);
    FConnection->SetReuseStatements(FReuseStatements);
}

void TSQLConnection::SetReuseStatements(bool value)
{
    FReuseStatements = value;
    if (FConnection) FConnection->SetReuseStatements(value);
}

void TSQLConnection::Close()
{
    FConnection.reset();
}

std::unique_ptr<TSQLCursor> TSQLConnection::OpenCursor(const QString& sql,
                                                       const QList<TSQLParamValue>& params)
{
    Open();
    return FConnection->Open(sql, params);
}

int TSQLConnection::Execute(const QString& sql, const QList<TSQLParamValue>& params)
{
    Open();
    return FConnection->Execute(sql, params);
}
