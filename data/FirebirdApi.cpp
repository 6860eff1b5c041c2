#include "FirebirdApi.h"

#include "VendorLibrary.h"

#include <QMap>
#include <mutex>

namespace
{

// The client library ends every attachment on its own when the process gets
// SIGINT or SIGTERM, from a thread of its own while the program may be using
// them. The program ends itself on those signals, as a closed window does,
// so the library's shutdown is refused.
int RefuseShutdownOnSignal(const int reason, const int mask, void*)
{
    return mask == fb_shut_confirmation && reason == fb_shutrsn_signal ? 1 : 0;
}

} // namespace

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
    ISC_STATUS_ARRAY status;
    api->fb_shutdown_callback(status, &RefuseShutdownOnSignal, fb_shut_confirmation, nullptr);
    loaded.insert(vendorLib, api);
    return api;
}
