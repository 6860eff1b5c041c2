#include "SqliteStatement.h"

#include "SqliteDatabase.h"

#include <sqlite3.h>

TSqliteStatement::TSqliteStatement(const TSqliteDatabase& database, const QString& sql)
    : FDatabase(database)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(database.FHandle, text.constData(), int(text.size()), &FHandle,
                           nullptr) != SQLITE_OK)
        database.Fail(sql);
}

TSqliteStatement::~TSqliteStatement()
{
    sqlite3_finalize(FHandle);
}

int TSqliteStatement::ParamCount() const
{
    return sqlite3_bind_parameter_count(FHandle);
}

void TSqliteStatement::SetNull(int index)
{
    Check(sqlite3_bind_null(FHandle, index + 1));
}

void TSqliteStatement::SetInteger(int index, qint64 value)
{
    Check(sqlite3_bind_int64(FHandle, index + 1, value));
}

void TSqliteStatement::SetFloat(int index, double value)
{
    Check(sqlite3_bind_double(FHandle, index + 1, value));
}

void TSqliteStatement::SetText(int index, QStringView value)
{
    const QByteArray text = value.toUtf8();
    Check(sqlite3_bind_text(FHandle, index + 1, text.constData(), int(text.size()),
                            SQLITE_TRANSIENT));
}

bool TSqliteStatement::Execute()
{
    sqlite3_reset(FHandle);
    return Step();
}

bool TSqliteStatement::Step()
{
    const int result = sqlite3_step(FHandle);
    if (result == SQLITE_ROW) return true;
    // Parameters can be bound again only once the statement is reset.
    sqlite3_reset(FHandle);
    if (result != SQLITE_DONE) FDatabase.Fail(QString::fromUtf8(sqlite3_sql(FHandle)));
    return false;
}

int TSqliteStatement::ColumnCount() const
{
    return sqlite3_column_count(FHandle);
}

QVariant TSqliteStatement::Value(int column) const
{
    switch (sqlite3_column_type(FHandle, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(FHandle, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(FHandle, column);
    case SQLITE_TEXT:
        return QString::fromUtf8(
            reinterpret_cast<const char*>(sqlite3_column_text(FHandle, column)),
            sqlite3_column_bytes(FHandle, column));
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(FHandle, column)),
                          sqlite3_column_bytes(FHandle, column));
    }
    return {};
}

void TSqliteStatement::Check(int result) const
{
    if (result != SQLITE_OK) FDatabase.Fail(QString::fromUtf8(sqlite3_sql(FHandle)));
}
