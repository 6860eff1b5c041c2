#include "SecondConnection.h"

#include "TestDatabase.h"
#include "tools/FbDatabase.h"
#include "tools/SqliteDatabase.h"

#include <QTest>
#include <stdexcept>
#include <thread>

SecondConnection::SecondConnection(const TestDatabase& database)
    : SecondConnection(database.Backend(), database.Options())
{
}

SecondConnection::SecondConnection(const TestBackend& backend, const TDbOptions& options)
{
    Run([&] {
        if (backend.IsFirebird())
            FFirebird = std::make_unique<TFbDatabase>(options.Database, options.User,
                                                      options.Password, options.Charset);
        else
            FSqlite = std::make_unique<TSqliteDatabase>(options.Database);
    });
}

SecondConnection::~SecondConnection() = default;

bool SecondConnection::IsOpen() const
{
    return FFirebird || FSqlite;
}

template <typename TAction> bool SecondConnection::Run(TAction&& action)
{
    try {
        action();
        FError.clear();
        return true;
    } catch (const std::exception& error) {
        FError = QString::fromUtf8(error.what());
    }
    QTest::qFail(qPrintable(QStringLiteral("Second connection: ") + FError), __FILE__, __LINE__);
    return false;
}

QVariant SecondConnection::QueryValue(const QString& sql)
{
    const QList<QVariantList> rows = QueryRows(sql);
    if (rows.isEmpty() || rows.first().isEmpty()) return {};
    return rows.first().first();
}

QList<QVariantList> SecondConnection::QueryRows(const QString& sql)
{
    QList<QVariantList> rows;
    Run([&] {
        if (FFirebird)
            rows = FFirebird->Query(sql);
        else if (FSqlite)
            rows = FSqlite->Query(sql);
        else
            throw std::runtime_error("not connected");
    });
    return rows;
}

bool SecondConnection::Execute(const QString& sql)
{
    return Run([&] {
        if (FFirebird)
            FFirebird->Execute(sql);
        else if (FSqlite)
            FSqlite->Execute(sql);
        else
            throw std::runtime_error("not connected");
    });
}

bool SecondConnection::StartTransaction()
{
    return Run([&] {
        if (FFirebird)
            FFirebird->StartTransaction();
        else if (FSqlite)
            // Takes the write lock at once, as a Firebird UPDATE takes its row.
            FSqlite->Execute(QStringLiteral("BEGIN IMMEDIATE"));
        else
            throw std::runtime_error("not connected");
    });
}

bool SecondConnection::Commit()
{
    return Run([&] {
        if (FFirebird)
            FFirebird->Commit();
        else if (FSqlite)
            FSqlite->Execute(QStringLiteral("COMMIT"));
        else
            throw std::runtime_error("not connected");
    });
}

bool SecondConnection::Rollback()
{
    return Run([&] {
        if (FFirebird)
            FFirebird->Rollback();
        else if (FSqlite)
            FSqlite->Execute(QStringLiteral("ROLLBACK"));
        else
            throw std::runtime_error("not connected");
    });
}

std::future<QString> SecondConnection::CommitLater(std::chrono::milliseconds delay)
{
    return EndLater(delay, true);
}

std::future<QString> SecondConnection::RollbackLater(std::chrono::milliseconds delay)
{
    return EndLater(delay, false);
}

std::future<QString> SecondConnection::EndLater(std::chrono::milliseconds delay, bool commit)
{
    // Another thread may not report to the test: the error comes back in the future.
    return std::async(std::launch::async, [this, delay, commit]() -> QString {
        std::this_thread::sleep_for(delay);
        FReleasing = true;
        try {
            if (FFirebird)
                commit ? FFirebird->Commit() : FFirebird->Rollback();
            else if (FSqlite)
                FSqlite->Execute(commit ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"));
            else
                throw std::runtime_error("not connected");
        } catch (const std::exception& error) {
            return QString::fromUtf8(error.what());
        }
        return {};
    });
}
