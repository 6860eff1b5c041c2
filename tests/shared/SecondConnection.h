#pragma once

#include "TestBackends.h"
#include "tools/DbOptions.h"

#include <QList>
#include <QString>
#include <QVariant>
#include <atomic>
#include <chrono>
#include <future>
#include <memory>

class TestDatabase;
class TFbDatabase;
class TSqliteDatabase;

// A connection of its own to a test database, over the engines' C APIs and
// not through the code under test, to look at what the code did and to play
// the other user. Failures are reported to the running test with the
// engine's message and leave an invalid result; a test that must not go on
// checks the bool results with QVERIFY.
//
// Without StartTransaction() every statement commits on its own. Reads see
// the latest committed rows and never wait for a lock; a statement that
// waits gives up after a minute.
class SecondConnection
{
public:
    explicit SecondConnection(const TestDatabase& database);
    SecondConnection(const TestBackend& backend, const TDbOptions& options);
    ~SecondConnection();
    SecondConnection(const SecondConnection&) = delete;
    SecondConnection& operator=(const SecondConnection&) = delete;

    bool IsOpen() const;
    QString ErrorString() const { return FError; }

    // The first column of the first row; invalid without rows.
    QVariant QueryValue(const QString& sql);
    QList<QVariantList> QueryRows(const QString& sql);
    [[nodiscard]] bool Execute(const QString& sql);

    // Holding a row lock: StartTransaction(), Execute() an UPDATE of the row,
    // start the code under test, and let CommitLater() or RollbackLater()
    // release the lock from another thread. The future gives the error text,
    // empty when all went well; keep it until the code under test returned,
    // as dropping it waits for the delay there and then.
    [[nodiscard]] bool StartTransaction();
    [[nodiscard]] bool Commit();
    [[nodiscard]] bool Rollback();
    [[nodiscard]] std::future<QString> CommitLater(std::chrono::milliseconds delay);
    [[nodiscard]] std::future<QString> RollbackLater(std::chrono::milliseconds delay);
    // Set just before the delayed commit or rollback runs: a statement that
    // waited for the lock can only have finished after it was set.
    bool Releasing() const { return FReleasing; }

private:
    template <typename TAction> bool Run(TAction&& action);
    std::future<QString> EndLater(std::chrono::milliseconds delay, bool commit);

    std::unique_ptr<TFbDatabase> FFirebird;
    std::unique_ptr<TSqliteDatabase> FSqlite;
    QString FError;
    std::atomic<bool> FReleasing{false};
};
