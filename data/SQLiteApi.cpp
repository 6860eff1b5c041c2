#include "SQLiteApi.h"

#include "VendorLibrary.h"

#include <QMap>
#include <mutex>

std::shared_ptr<const SQLiteApi> SQLiteApi::Load(const QString& vendorLib,
                                                 const QString& getDriverFunc)
{
    static std::mutex mutex;
    static QMap<QString, std::shared_ptr<const SQLiteApi>> loaded;
    std::lock_guard lock(mutex);

    void* library = VendorLibrary::Open(vendorLib);
    VendorLibrary::Resolve(library, getDriverFunc);
    if (auto api = loaded.value(vendorLib)) return api;

    auto api = std::make_shared<SQLiteApi>();
#define SQLITE_API_RESOLVE(name)                                                                   \
    api->name = reinterpret_cast<decltype(&::name)>(                                               \
        VendorLibrary::Resolve(library, QStringLiteral(#name)));
    SQLITE_API_FUNCTIONS(SQLITE_API_RESOLVE)
#undef SQLITE_API_RESOLVE
    loaded.insert(vendorLib, api);
    return api;
}
