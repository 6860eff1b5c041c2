#pragma once

#include "SecondConnection.h"
#include "TestBackends.h"

#include <QString>

// What another client does to the test database while the window writes:
// hold a product changed, and what the tests check afterwards.

inline const QString Holder = QStringLiteral("held by another client");

// Another client changes the product and keeps its transaction open. SQLite
// locks the whole file, the servers only the row. The SQLite file is in the
// WAL journal, as the program's connection leaves it, where readers go on
// beside a writer.
inline bool Hold(SecondConnection& other, const TestBackend& backend, const QString& code)
{
    if (!backend.IsFirebird()) other.QueryValue(QStringLiteral("PRAGMA journal_mode = WAL"));
    return other.StartTransaction() &&
           other.Execute(QStringLiteral("update PRODUCT set PROD_NAME = '%1' where PROD_ID = '%2'")
                             .arg(Holder, code));
}

// Products whose name column does not match the lookup row of their code (a
// code without a row must give null).
inline int StaleNames(SecondConnection& check, const QString& table, const QString& code,
                      const QString& name)
{
    return check
        .QueryValue(QStringLiteral("select count(*) from PRODUCT P where P.%3 is distinct from "
                                   "(select L.%3 from %1 L where L.%2 = P.%2)")
                        .arg(table, code, name))
        .toInt();
}

inline int StaleItemNames(SecondConnection& check)
{
    return StaleNames(check, QStringLiteral("PROD_ITEM"), QStringLiteral("PD_ITEMID"),
                      QStringLiteral("PD_ITEMNAME"));
}
