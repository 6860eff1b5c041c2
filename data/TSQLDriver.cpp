#include "TSQLDriver.h"

#include "FirebirdDriver.h"
#include "SQLiteDriver.h"

std::unique_ptr<TSQLDriver> CreateSQLDriver(const QString& libraryName)
{
    const QString name = libraryName.trimmed();
    if (name.compare(QLatin1String("firebird"), Qt::CaseInsensitive) == 0)
        return std::make_unique<FirebirdDriver>();
    if (name.compare(QLatin1String("sqlite"), Qt::CaseInsensitive) == 0)
        return std::make_unique<SQLiteDriver>();
    return nullptr;
}
