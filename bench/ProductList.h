#pragma once

// A product list as the main window holds one: connection, SQL dataset,
// provider and client dataset, on one engine, for the benchmarks.

#include "BareFetch.h"
#include "TClientDataSet.h"
#include "TDataSetProvider.h"
#include "TSQLConnection.h"
#include "TSQLDataSet.h"

#include <functional>

struct Engine {
    const char* Name;
    QString Database;
    QString DriverName;
    QString LibraryName;
    QString VendorLib;
    QString Entry;
    std::function<Checksum()> Bare;
};

class ProductList
{
public:
    explicit ProductList(const Engine& engine)
    {
        Connection.SetDriverName(engine.DriverName);
        Connection.SetLibraryName(engine.LibraryName);
        Connection.SetVendorLib(engine.VendorLib);
        Connection.SetGetDriverFunc(engine.Entry);
        Connection.SetLoginPrompt(false);
        Connection.Params().SetValue(QStringLiteral("Database"), engine.Database);
        Connection.Params().SetValue(QStringLiteral("User_Name"), QStringLiteral("SYSDBA"));
        Connection.Params().SetValue(QStringLiteral("Password"), QStringLiteral("masterkey"));
        Connection.Params().SetValue(QStringLiteral("WaitOnLocks"), QStringLiteral("True"));
        Connection.Open();
        Query.SetSQLConnection(&Connection);
        Query.SetCommandText(QString::fromLatin1(ProductSelect));
        Provider.SetDataSet(&Query);
        Provider.SetOptions({TProviderOption::poAllowCommandText});
        Products.SetProvider(&Provider);
        Products.setObjectName(QStringLiteral("CDS_PRODUCT"));
    }

    TSQLConnection Connection;
    TSQLDataSet Query;
    TDataSetProvider Provider;
    TClientDataSet Products;
};
