#pragma once

#include "DbOptions.h"

#include <QString>
#include <QStringList>
#include <functional>

// Makes a demo or test database: PRODUCT with the catalogue's columns and the
// three lookup tables, filled from TDemoData in one transaction.
class TDbMaker
{
public:
    explicit TDbMaker(TDbOptions options);

    // Fails with std::runtime_error; an existing database is replaced only
    // with Force, otherwise it is left as it was.
    void Make();

    // Called now and then with the products written so far.
    std::function<void(int done, int total)> OnProgress;

    static QStringList SchemaStatements();

private:
    template <typename TDatabase, typename TStatement> void Fill(TDatabase& database);
    void MakeFirebird();
    void MakeSqlite();

    TDbOptions FOptions;
};
