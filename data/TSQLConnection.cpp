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
    std::unique_ptr<TSQLDriverConnection> connection = driver->Connect(params);
    connection->SetReuseStatements(FReuseStatements);
    const std::lock_guard lock(FCancelMutex);
    FConnection = std::move(connection);
}

void TSQLConnection::SetReuseStatements(bool value)
{
    FReuseStatements = value;
    FBatchRan = false;
    if (FConnection) FConnection->SetReuseStatements(value);
}

void TSQLConnection::Close()
{
    std::unique_ptr<TSQLDriverConnection> closing;
    {
        const std::lock_guard lock(FCancelMutex);
        closing = std::move(FConnection);
    }
}

void TSQLConnection::Cancel()
{
    const std::lock_guard lock(FCancelMutex);
    if (FConnection) FConnection->Cancel();
}

void TSQLConnection::Reattach(const ESQLConnectionLost& lost)
{
    Close();
    if (FReuseStatements && FBatchRan)
        throw ESQLConnectionLost(
            QStringLiteral("The connection to the database was lost: %1").arg(lost.Message()),
            lost.ErrorCode());
    try {
        Open();
    } catch (const Exception& error) {
        throw ESQLConnectionLost(
            QStringLiteral("The connection to the database was lost and can't be made again: %1")
                .arg(error.Message()),
            lost.ErrorCode());
    }
}

std::unique_ptr<TSQLCursor> TSQLConnection::OpenCursor(const QString& sql,
                                                       const QList<TSQLParamValue>& params)
{
    Open();
    try {
        return FConnection->Open(sql, params);
    } catch (const ESQLConnectionLost& lost) {
        Reattach(lost);
    }
    return FConnection->Open(sql, params);
}

std::unique_ptr<TSQLCursor> TSQLConnection::OpenBatches(const QString& sql,
                                                        const TSQLParamBatches& batches)
{
    Open();
    try {
        return FConnection->OpenBatches(sql, batches);
    } catch (const ESQLConnectionLost& lost) {
        Reattach(lost);
    }
    return FConnection->OpenBatches(sql, batches);
}

int TSQLConnection::Execute(const QString& sql, const QList<TSQLParamValue>& params,
                            TRowCount count)
{
    Open();
    int changed = 0;
    try {
        changed = FConnection->Execute(sql, params, count);
    } catch (const ESQLConnectionLost& lost) {
        Reattach(lost);
        changed = FConnection->Execute(sql, params, count);
    }
    FBatchRan = FReuseStatements;
    return changed;
}
