#include "FbDatabase.h"

#include "Big5Iconv.h"
#include "FbStatement.h"

#include <QByteArray>
#include <stdexcept>

namespace
{

void AddDpbText(QByteArray& dpb, char tag, const QByteArray& value)
{
    dpb.append(tag);
    dpb.append(char(value.size()));
    dpb.append(value);
}

QByteArray Quoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return "'" + quoted.toUtf8() + "'";
}

// Read committed on the latest committed version: checks never wait for a
// row that the code under test holds, and a lock wait ends after a minute
// instead of hanging a test run.
const char TransactionParams[] = {isc_tpb_version3,
                                  isc_tpb_write,
                                  isc_tpb_read_committed,
                                  isc_tpb_rec_version,
                                  isc_tpb_wait,
                                  isc_tpb_lock_timeout,
                                  4,
                                  60,
                                  0,
                                  0,
                                  0};

} // namespace

TFbDatabase::TFbDatabase(const QString& database, const QString& user, const QString& password,
                         TDbCharset charset, std::optional<bool> forcedWrites)
    : FCharset(charset)
{
    QByteArray dpb(1, char(isc_dpb_version1));
    AddDpbText(dpb, isc_dpb_user_name, user.toUtf8());
    AddDpbText(dpb, isc_dpb_password, password.toUtf8());
    AddDpbText(dpb, isc_dpb_lc_ctype, CharsetName(charset).toLatin1());
    if (forcedWrites) AddDpbText(dpb, isc_dpb_force_write, QByteArray(1, *forcedWrites ? 1 : 0));
    const QByteArray path = database.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_attach_database(status, 0, path.constData(), &FHandle, short(dpb.size()), dpb.constData());
    Check(status, QStringLiteral("Can't open %1").arg(database));
}

TFbDatabase::~TFbDatabase()
{
    ISC_STATUS_ARRAY status;
    if (FTransaction) isc_rollback_transaction(status, &FTransaction);
    if (FHandle) isc_detach_database(status, &FHandle);
}

void TFbDatabase::Create(const QString& database, const QString& user, const QString& password,
                         TDbCharset charset)
{
    const QByteArray sql = "CREATE DATABASE " + Quoted(database) + " USER " + Quoted(user) +
                           " PASSWORD " + Quoted(password) +
                           " PAGE_SIZE 16384 DEFAULT CHARACTER SET " +
                           CharsetName(charset).toLatin1();
    isc_db_handle handle = 0;
    isc_tr_handle transaction = 0;
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &handle, &transaction, 0, sql.constData(), SQL_DIALECT_V6,
                               nullptr);
    Check(status, QStringLiteral("Can't create %1").arg(database));
    isc_detach_database(status, &handle);
    Check(status, QStringLiteral("Can't close %1").arg(database));
}

void TFbDatabase::Drop()
{
    if (FTransaction) Rollback();
    ISC_STATUS_ARRAY status;
    isc_drop_database(status, &FHandle);
    Check(status, QStringLiteral("Can't drop the database"));
    FHandle = 0;
}

void TFbDatabase::StartTransaction()
{
    if (FTransaction) throw std::runtime_error("A transaction is already open");
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &FTransaction, 1, &FHandle, short(sizeof(TransactionParams)),
                          TransactionParams);
    Check(status, QStringLiteral("Can't start a transaction"));
}

void TFbDatabase::Commit()
{
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &FTransaction);
    Check(status, QStringLiteral("Can't commit"));
}

void TFbDatabase::Rollback()
{
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &FTransaction);
    Check(status, QStringLiteral("Can't roll back"));
}

void TFbDatabase::Execute(const QString& sql)
{
    const bool own = !FTransaction;
    if (own) StartTransaction();
    const QByteArray text = EncodeText(sql);
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &FHandle, &FTransaction, 0, text.constData(), SQL_DIALECT_V6,
                               nullptr);
    if (status[0] == 1 && status[1] != 0) {
        if (own) Rollback();
        Fail(status, sql);
    }
    if (own) Commit();
}

QList<QVariantList> TFbDatabase::Query(const QString& sql)
{
    const bool own = !FTransaction;
    if (own) StartTransaction();
    QList<QVariantList> rows;
    try {
        TFbStatement statement(*this, sql);
        statement.Execute();
        while (statement.Fetch()) {
            QVariantList row;
            for (int i = 0; i < statement.ColumnCount(); ++i)
                row.append(statement.Value(i));
            rows.append(row);
        }
    } catch (...) {
        if (own) Rollback();
        throw;
    }
    if (own) Commit();
    return rows;
}

QByteArray TFbDatabase::EncodeText(QStringView text) const
{
    return FCharset == TDbCharset::Utf8 ? text.toUtf8() : TBig5Iconv::Encode(text);
}

QString TFbDatabase::DecodeText(QByteArrayView bytes) const
{
    return FCharset == TDbCharset::Utf8 ? QString::fromUtf8(bytes) : TBig5Iconv::Decode(bytes);
}

void TFbDatabase::Fail(const ISC_STATUS* status, const QString& context)
{
    QString message = context;
    const ISC_STATUS* vector = status;
    char line[1024];
    while (fb_interpret(line, sizeof(line), &vector) > 0)
        message += QLatin1Char('\n') + QString::fromLocal8Bit(line);
    throw std::runtime_error(message.toStdString());
}
