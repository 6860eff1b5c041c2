#pragma once

#include "TSQLConnection.h"
#include "TestDatabase.h"

#include <memory>

// The program's connection to a test database, opened the way the main
// window opens it: parameters from the test's connections file.
inline std::unique_ptr<TSQLConnection> OpenTestConnection(QObject* owner = nullptr)
{
    auto c = std::make_unique<TSQLConnection>(owner);
    c->setObjectName(QStringLiteral("SQLConnection1"));
    c->SetConnectionName(QStringLiteral("Tallon"));
    c->SetLoginPrompt(false);
    c->SetLoadParamsOnConnect(true);
    c->Open();
    return c;
}
