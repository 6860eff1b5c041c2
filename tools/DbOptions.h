#pragma once

#include <QString>

enum class TDbBackend { Firebird, SQLite };

// Default character set of a Firebird database. NONE databases hold Big5
// bytes as older shop databases do.
enum class TDbCharset { Big5, None, Utf8 };

// What the maker builds and where.
struct TDbOptions {
    TDbBackend Backend = TDbBackend::Firebird;
    QString Database; // a file path, or host:path for a Firebird server
    int Products = 5000;
    quint32 Seed = 1;
    TDbCharset Charset = TDbCharset::Big5;
    QString User = QStringLiteral("SYSDBA");
    QString Password = QStringLiteral("masterkey");
    bool WithDemoRow = false;
    bool Force = false; // replace an existing database
    // Firebird writes through to the disk: what a shop wants, yet a throwaway
    // test database is made much faster without.
    bool ForcedWrites = true;
};

QString CharsetName(TDbCharset charset);
bool IsServerDatabase(const QString& database);
