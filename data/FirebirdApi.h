#pragma once

#include <ibase.h>

#include <QString>
#include <memory>

// The functions of the Firebird client library (VendorLib) that the driver
// calls, resolved when a connection opens. One table per library file, kept
// for the life of the process: the client library is never unloaded.
struct FirebirdApi {
#define FIREBIRD_API_FUNCTIONS(X)                                                                  \
    X(isc_attach_database)                                                                         \
    X(isc_detach_database)                                                                         \
    X(isc_start_multiple)                                                                          \
    X(isc_commit_transaction)                                                                      \
    X(isc_rollback_transaction)                                                                    \
    X(isc_dsql_alloc_statement2)                                                                   \
    X(isc_dsql_prepare)                                                                            \
    X(isc_dsql_describe)                                                                           \
    X(isc_dsql_describe_bind)                                                                      \
    X(isc_dsql_execute)                                                                            \
    X(isc_dsql_fetch)                                                                              \
    X(isc_dsql_free_statement)                                                                     \
    X(isc_dsql_sql_info)                                                                           \
    X(fb_cancel_operation)                                                                         \
    X(fb_shutdown_callback)                                                                        \
    X(fb_interpret)
#define FIREBIRD_API_MEMBER(name) decltype(&::name) name = nullptr;
    FIREBIRD_API_FUNCTIONS(FIREBIRD_API_MEMBER)
#undef FIREBIRD_API_MEMBER

    // Loads vendorLib and checks that getDriverFunc and every function above
    // resolve in it; fails with "Unable to Load %s" or "Unable to Find
    // Procedure %s".
    static std::shared_ptr<const FirebirdApi> Load(const QString& vendorLib,
                                                   const QString& getDriverFunc);
};
