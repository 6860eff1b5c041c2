#pragma once

#include <sqlite3.h>

#include <QString>
#include <memory>

// The functions of SQLite's library (VendorLib) that the driver calls,
// resolved when a connection opens; the library is never unloaded.
struct SQLiteApi {
#define SQLITE_API_FUNCTIONS(X)                                                                    \
    X(sqlite3_open_v2)                                                                             \
    X(sqlite3_close_v2)                                                                            \
    X(sqlite3_exec)                                                                                \
    X(sqlite3_busy_handler)                                                                        \
    X(sqlite3_interrupt)                                                                           \
    X(sqlite3_errmsg)                                                                              \
    X(sqlite3_extended_errcode)                                                                    \
    X(sqlite3_prepare_v2)                                                                          \
    X(sqlite3_finalize)                                                                            \
    X(sqlite3_reset)                                                                               \
    X(sqlite3_step)                                                                                \
    X(sqlite3_changes)                                                                             \
    X(sqlite3_total_changes)                                                                       \
    X(sqlite3_bind_parameter_count)                                                                \
    X(sqlite3_bind_null)                                                                           \
    X(sqlite3_bind_int64)                                                                          \
    X(sqlite3_bind_double)                                                                         \
    X(sqlite3_bind_text)                                                                           \
    X(sqlite3_column_count)                                                                        \
    X(sqlite3_column_name)                                                                         \
    X(sqlite3_column_decltype)                                                                     \
    X(sqlite3_column_type)                                                                         \
    X(sqlite3_column_int)                                                                          \
    X(sqlite3_column_double)                                                                       \
    X(sqlite3_column_text)                                                                         \
    X(sqlite3_column_bytes)                                                                        \
    X(sqlite3_table_column_metadata)
#define SQLITE_API_MEMBER(name) decltype(&::name) name = nullptr;
    SQLITE_API_FUNCTIONS(SQLITE_API_MEMBER)
#undef SQLITE_API_MEMBER

    // Loads vendorLib and checks that getDriverFunc and every function above
    // resolve in it; fails with "Unable to Load %s" or "Unable to Find
    // Procedure %s".
    static std::shared_ptr<const SQLiteApi> Load(const QString& vendorLib,
                                                 const QString& getDriverFunc);
};
