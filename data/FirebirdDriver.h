#pragma once

#include "TSQLDriver.h"

struct FirebirdApi;

// The driver "firebird": Firebird's client library (VendorLib, as a rule
// libfbclient.so.2) through its ISC API. A Database without host is opened by
// the embedded engine, "host:path" or "host/port:path" by that server.
//
// Parameters read: Database, User_Name, Password, RoleName (when not empty),
// ServerCharSet (empty: BIG_5 on the connection and Big5 in the program),
// SQLDialect (3 only), WaitOnLocks, Trim Char. Each statement runs in a
// transaction of its own (write, read committed, no record versions, waiting
// for locks only with WaitOnLocks "True") and commits as soon as it has run,
// or, for a SELECT, as soon as its last row has been fetched.
class FirebirdDriver final : public TSQLDriver
{
public:
    void Load(const QString& vendorLib, const QString& getDriverFunc) override;
    std::unique_ptr<TSQLDriverConnection> Connect(const QMap<QString, QString>& params) override;

private:
    std::shared_ptr<const FirebirdApi> FApi;
};
