#include "SQLiteDatabase.h"

#include "ESQLParamError.h"
#include "NumericText.h"
#include "SQLiteParamTypes.h"

SQLiteDatabase::~SQLiteDatabase()
{
    if (Db) Api->sqlite3_close_v2(Db);
}

void SQLiteDatabase::Fail() const
{
    const int code = Api->sqlite3_extended_errcode(Db);
    const QString message = QString::fromUtf8(Api->sqlite3_errmsg(Db));
    // SQLITE_BUSY, SQLITE_LOCKED: another connection held the file too long.
    const int primary = code & 0xff;
    if (primary == 5 || primary == 6) throw ESQLConflict(message, code);
    throw ESQLError(message, code);
}

SQLiteStatement::SQLiteStatement(std::shared_ptr<const SQLiteDatabase> database, const QString& sql,
                                 const QList<std::optional<QString>>& params)
    : FDatabase(std::move(database))
{
    try {
        Prepare(sql);
        Bind(params);
    } catch (...) {
        Finish();
        throw;
    }
}

void SQLiteStatement::Prepare(const QString& sql)
{
    const SQLiteDatabase& d = *FDatabase;
    const SQLiteApi& api = *d.Api;
    if (d.CharSet) {
        QByteArray ignored;
        char32_t bad = 0;
        if (!d.CharSet->Encode(sql, ignored, bad))
            throw EDatabaseError(
                QStringLiteral("The statement holds a %1").arg(d.CharSet->CannotHold(bad)));
    }
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (api.sqlite3_prepare_v2(d.Db, text.constData(), int(text.size()) + 1, &FStatement, &tail) !=
        SQLITE_OK)
        d.Fail();
    if (!FStatement) throw EDatabaseError(QStringLiteral("The statement is empty"));
    for (; tail && *tail; ++tail)
        if (*tail != ';' && !QChar::isSpace(uchar(*tail)))
            throw EDatabaseError(QStringLiteral("Only one statement can run at a time"));

    FAffinities = SQLiteParamTypes::Infer(
        sql, [&](const QString& table, const QString& column) -> std::optional<QString> {
            const char* declared = nullptr;
            if (api.sqlite3_table_column_metadata(d.Db, nullptr, table.toUtf8().constData(),
                                                  column.toUtf8().constData(), &declared, nullptr,
                                                  nullptr, nullptr, nullptr) != SQLITE_OK)
                return std::nullopt;
            return QString::fromUtf8(declared ? declared : "");
        });
}

void SQLiteStatement::Bind(const QList<std::optional<QString>>& params)
{
    const SQLiteDatabase& d = *FDatabase;
    const SQLiteApi& api = *d.Api;
    const int count = api.sqlite3_bind_parameter_count(FStatement);
    if (count != params.size())
        throw EDatabaseError(QStringLiteral("The statement takes %1 parameters, %2 given")
                                 .arg(count)
                                 .arg(params.size()));
    // The outcome of the last run was reported by Step() already.
    api.sqlite3_reset(FStatement);

    // A value that its column can't take stops the statement before it runs.
    for (int i = 0; i < count; ++i) {
        using A = SQLiteParamTypes::Affinity;
        const A affinity = FAffinities.value(i, A::Unknown);
        int rc = SQLITE_OK;
        QString reason;
        if (!params[i]) {
            rc = api.sqlite3_bind_null(FStatement, i + 1);
        } else if (affinity == A::Integer ||
                   (affinity == A::Numeric && NumericText::IsInteger(*params[i]))) {
            qint64 value = 0;
            if (!NumericText::ToInteger(*params[i], value, reason)) throw ESQLParamError(i, reason);
            rc = api.sqlite3_bind_int64(FStatement, i + 1, value);
        } else if (affinity == A::Real || affinity == A::Numeric) {
            double value = 0;
            if (!NumericText::ToReal(*params[i], value, reason)) throw ESQLParamError(i, reason);
            rc = api.sqlite3_bind_double(FStatement, i + 1, value);
        } else {
            if (d.CharSet) {
                QByteArray ignored;
                char32_t bad = 0;
                if (!d.CharSet->Encode(*params[i], ignored, bad))
                    throw ESQLParamError(i, d.CharSet->CannotHold(bad));
            }
            const QByteArray utf8 = params[i]->toUtf8();
            rc = api.sqlite3_bind_text(FStatement, i + 1, utf8.constData(), int(utf8.size()),
                                       SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) d.Fail();
    }
}

SQLiteStatement::~SQLiteStatement()
{
    Finish();
}

bool SQLiteStatement::Step()
{
    const int rc = FDatabase->Api->sqlite3_step(FStatement);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) FDatabase->Fail();
    return false;
}

void SQLiteStatement::Finish()
{
    if (FStatement) {
        FDatabase->Api->sqlite3_finalize(FStatement);
        FStatement = nullptr;
    }
}
