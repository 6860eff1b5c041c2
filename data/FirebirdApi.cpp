#include "FirebirdApi.h"

#include "VendorLibrary.h"

#include <QMap>
#include <mutex>

std::shared_ptr<const FirebirdApi> FirebirdApi::Load(const QString& vendorLib,
                                                     const QString& getDriverFunc)
{
    static std::mutex mutex;
    static QMap<QString, std::shared_ptr<const FirebirdApi>> loaded;
    std::lock_guard lock(mutex);

    void* library = VendorLibrary::Open(vendorLib);
    VendorLibrary::Resolve(library, getDriverFunc);
    if (auto api = loaded.value(vendorLib)) return api;

    auto api = std::make_shared<FirebirdApi>();
#define FIREBIRD_API_RESOLVE(name)                                                                 \
    api->name = reinterpret_cast<decltype(&::name)>(                                               \
        VendorLibrary::Resolve(library, QStringLiteral(#name)));
    FIREBIRD_API_FUNCTIONS(FIREBIRD_API_RESOLVE)
#undef FIREBIRD_API_RESOLVE
    loaded.insert(vendorLib, api);
    return api;
}
