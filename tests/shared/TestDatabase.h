#pragma once

#include "TestBackends.h"
#include "tools/DbOptions.h"

#include <QString>
#include <QTemporaryDir>

struct TestDatabaseOptions {
    int Products = 20;
    quint32 Seed = 1;
    TDbCharset Charset = TDbCharset::Big5; // Firebird only
    bool WithDemoRow = false;
    // A copy of a database made once per process; without, the maker makes
    // this one, through the server for the server backend.
    bool Cached = true;
};

// A test's own database, made by the database maker, with the matching
// dbxconnections.ini and dbxdrivers.ini in a temporary folder. Embedded and
// SQLite databases live in that folder; a server database lives in
// /tmp/massamend-server-tests, where the server can write, and is dropped
// when this object goes. While it exists, the per-user settings name its two
// files.
class TestDatabase
{
public:
    explicit TestDatabase(const TestBackend& backend, const TestDatabaseOptions& options = {});
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    // False when the database could not be made; ErrorString() says why.
    bool IsValid() const { return FError.isEmpty(); }
    QString ErrorString() const { return FError; }

    const TestBackend& Backend() const { return FBackend; }
    // The maker's settings: Database as the connections file names it
    // (host:path for the server), character set, user and password.
    const TDbOptions& Options() const { return FOptions; }
    QString Database() const { return FOptions.Database; }
    // The temporary folder, removed with this object: a place for Search.ini
    // and other files of the test.
    QString Dir() const { return FDir.path(); }
    QString ConnectionsFile() const;
    QString DriversFile() const;

    // Runs a script through isql-fb on this Firebird database and returns
    // what it printed, errors included. The connection uses UTF8, or BIG_5 on
    // a NONE database, whose Big5 bytes UTF8 would refuse.
    QString Isql(const QString& script) const;

    // Points the per-user settings of this process at a private folder, so
    // that no test reads or changes the user's own. Every TestDatabase does
    // it; call it in initTestCase() when a test reads settings without one.
    static void IsolateUserSettings();

private:
    void PointUserSettings() const;
    void ClearUserSettings() const;

    TestBackend FBackend;
    TDbOptions FOptions;
    QTemporaryDir FDir;
    QString FError;
    bool FOnServer = false; // a server database to drop
};
