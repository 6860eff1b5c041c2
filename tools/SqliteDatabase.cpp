#include "SqliteDatabase.h"

#include "SqliteStatement.h"

#include <sqlite3.h>
#include <stdexcept>

TSqliteDatabase::TSqliteDatabase(const QString& path, bool create)
{
    const int flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
    const int result = sqlite3_open_v2(path.toUtf8().constData(), &FHandle, flags, nullptr);
    if (result != SQLITE_OK) {
        const QString message = QStringLiteral("Can't open %1\n%2")
                                    .arg(path, QString::fromUtf8(sqlite3_errstr(result)));
        sqlite3_close(FHandle);
        throw std::runtime_error(message.toStdString());
    }
    // Another connection may hold the write lock for a while: wait, don't fail.
    sqlite3_busy_timeout(FHandle, 60000);
}

TSqliteDatabase::~TSqliteDatabase()
{
    sqlite3_close(FHandle);
}

void TSqliteDatabase::Execute(const QString& sql)
{
    if (sqlite3_exec(FHandle, sql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(sql);
}

QList<QVariantList> TSqliteDatabase::Query(const QString& sql)
{
    TSqliteStatement statement(*this, sql);
    QList<QVariantList> rows;
    for (bool more = statement.Execute(); more; more = statement.Step()) {
        QVariantList row;
        for (int i = 0; i < statement.ColumnCount(); ++i)
            row.append(statement.Value(i));
        rows.append(row);
    }
    return rows;
}

void TSqliteDatabase::Fail(const QString& context) const
{
    const QString message =
        context + QLatin1Char('\n') + QString::fromUtf8(sqlite3_errmsg(FHandle));
    throw std::runtime_error(message.toStdString());
}
