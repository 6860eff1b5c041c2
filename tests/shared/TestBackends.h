#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

// A database engine that the database tests run on.
struct TestBackend {
    enum Kind { SQLite, Firebird, Server };

    Kind Type = SQLite;

    // "sqlite", "firebird" (the embedded engine) or "server".
    QString Name() const;
    bool IsFirebird() const { return Type != SQLite; }
};
Q_DECLARE_METATYPE(TestBackend)

// The backends of this run: MASSAMEND_TEST_BACKENDS, a comma-separated list of
// the names above ("sqlite,firebird" when unset). An unknown name ends the run.
QList<TestBackend> ConfiguredBackends();

// The Firebird server of the "server" backend and its SYSDBA password:
// MASSAMEND_FB_HOST (127.0.0.1) and MASSAMEND_FB_PASSWORD (masterkey).
QString ServerHost();
QString ServerPassword();

// Adds the column "backend" to the current data table. Then, per backend:
//     QTest::addRow("%s:empty", qPrintable(backend.Name())) << backend << ...;
// and in the test: QFETCH(TestBackend, backend);
void AddBackendColumn();

// The column and one row per backend, named after it, for tests that need no
// other column.
void AddBackendRows();
