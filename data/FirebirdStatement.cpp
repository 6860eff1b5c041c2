#include "FirebirdStatement.h"

#include "ESQLParamError.h"
#include "NumericText.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace
{

// Firebird's number for "the attachment's character set".
constexpr short DynamicCharSet = 127;

// The layout isc_start_multiple reads: one entry per database.
struct TransactionBlock {
    isc_db_handle* Db;
    int ParamsLength;
    const char* Params;
};

int CharSetOf(const XSQLVAR& var)
{
    return var.sqlsubtype & 0xFF;
}

} // namespace

FirebirdStatement::FirebirdStatement(std::shared_ptr<const FirebirdAttachment> attachment,
                                     TKind kind)
    : FAttachment(std::move(attachment)), FKind(kind)
{
}

FirebirdStatement::~FirebirdStatement()
{
    ISC_STATUS_ARRAY status;
    const FirebirdApi& api = *FAttachment->Api;
    if (FStatement) api.isc_dsql_free_statement(status, &FStatement, DSQL_drop);
    if (FTransaction) api.isc_rollback_transaction(status, &FTransaction);
}

void FirebirdStatement::Prepare(const QString& sql)
{
    const FirebirdAttachment& a = *FAttachment;
    const FirebirdApi& api = *a.Api;
    QByteArray text;
    char32_t bad = 0;
    if (!a.Codec->Encode(sql, text, bad))
        throw EDatabaseError(
            QStringLiteral("The statement holds a %1").arg(a.Codec->CannotHold(bad)));

    BeginTransaction();
    ISC_STATUS_ARRAY status;
    auto db = const_cast<isc_db_handle*>(&a.Db);
    api.isc_dsql_alloc_statement2(status, db, &FStatement);
    a.Check(status);
    // Length 0: the text ends at its NUL, so statements may pass 64 KB.
    api.isc_dsql_prepare(status, &FTransaction, &FStatement, 0, text.constData(), SQL_DIALECT_V6,
                         nullptr);
    a.Check(status);

    const char item = isc_info_sql_stmt_type;
    char info[16] = {};
    api.isc_dsql_sql_info(status, &FStatement, 1, &item, sizeof info, info);
    a.Check(status);
    if (info[0] == isc_info_sql_stmt_type) {
        const int length = quint8(info[1]) | quint8(info[2]) << 8;
        for (int i = length - 1; i >= 0; --i)
            FType = FType << 8 | quint8(info[3 + i]);
    }
    Describe(FOutput, false);
}

void FirebirdStatement::BeginTransaction()
{
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    auto db = const_cast<isc_db_handle*>(&a.Db);
    const QByteArray& params =
        FKind == TKind::Read ? a.ReadTransactionParams : a.WriteTransactionParams;
    TransactionBlock block{db, int(params.size()), params.constData()};
    a.Api->isc_start_multiple(status, &FTransaction, 1, &block);
    a.Check(status);
}

void FirebirdStatement::Describe(std::vector<char>& storage, bool input)
{
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    // A statement run again has as many as last time: one call, not two.
    short count = storage.empty() ? 1 : reinterpret_cast<XSQLDA*>(storage.data())->sqld;
    count = std::max<short>(count, 1);
    for (;;) {
        storage.assign(XSQLDA_LENGTH(count), 0);
        auto* da = reinterpret_cast<XSQLDA*>(storage.data());
        da->version = SQLDA_VERSION1;
        da->sqln = count;
        if (input)
            a.Api->isc_dsql_describe_bind(status, &FStatement, SQLDA_VERSION1, da);
        else
            a.Api->isc_dsql_describe(status, &FStatement, SQLDA_VERSION1, da);
        a.Check(status);
        if (da->sqld <= da->sqln) return;
        count = da->sqld;
    }
}

bool FirebirdStatement::IsQuery() const
{
    return FType == isc_info_sql_stmt_select || FType == isc_info_sql_stmt_select_for_upd;
}

int FirebirdStatement::RowsAffected() const
{
    if (IsQuery()) return 0;
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    const char item = isc_info_sql_records;
    char info[64] = {};
    auto statement = const_cast<isc_stmt_handle*>(&FStatement);
    a.Api->isc_dsql_sql_info(status, statement, 1, &item, sizeof info, info);
    a.Check(status);
    if (info[0] != isc_info_sql_records) return 0;
    // Counts by kind, each a tag, a two-byte length and the number.
    int changed = 0;
    for (int i = 3; i < int(sizeof info) && info[i] != isc_info_end;) {
        const char kind = info[i];
        const int length = quint8(info[i + 1]) | quint8(info[i + 2]) << 8;
        if (i + 3 + length > int(sizeof info)) break;
        int count = 0;
        for (int b = length - 1; b >= 0; --b)
            count = count << 8 | quint8(info[i + 3 + b]);
        if (kind == isc_info_req_insert_count || kind == isc_info_req_update_count ||
            kind == isc_info_req_delete_count)
            changed += count;
        i += 3 + length;
    }
    return changed;
}

void FirebirdStatement::Execute(const QList<TSQLParamValue>& params)
{
    // Binding rewrites the described types, so every run starts from a copy
    // of the description, taken once.
    if (FInputDescribed.empty()) Describe(FInputDescribed, true);
    FInput = FInputDescribed;
    auto& in = *reinterpret_cast<XSQLDA*>(FInput.data());
    if (in.sqld != params.size())
        throw EDatabaseError(QStringLiteral("The statement takes %1 parameters, %2 given")
                                 .arg(in.sqld)
                                 .arg(params.size()));
    FInputData.assign(params.size(), QByteArray());
    FInputNull.assign(params.size(), 0);
    for (int i = 0; i < in.sqld; ++i) {
        XSQLVAR& var = in.sqlvar[i];
        var.sqltype |= 1;
        var.sqlind = &FInputNull[i];
        if (!params[i]) {
            FInputNull[i] = -1;
            FInputData[i] = QByteArray(qMax<int>(var.sqllen, 8), '\0');
            var.sqldata = FInputData[i].data();
            continue;
        }
        switch (var.sqltype & ~1) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            BindNumber(i, var, *params[i]);
            break;
        default:
            BindText(i, var, *params[i]);
            break;
        }
    }

    if (!FTransaction) BeginTransaction();
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    a.Api->isc_dsql_execute(status, &FTransaction, &FStatement, SQLDA_VERSION1,
                            in.sqld > 0 ? &in : nullptr);
    a.Check(status);
}

void FirebirdStatement::Rerun(const QList<TSQLParamValue>& params)
{
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    a.Api->isc_dsql_free_statement(status, &FStatement, DSQL_close);
    a.Check(status);
    Execute(params);
}

void FirebirdStatement::BindText(int index, XSQLVAR& var, const QString& text)
{
    const FirebirdAttachment& a = *FAttachment;
    const bool none = CharSetOf(var) == 0 && (var.sqltype & ~1) != SQL_BLOB;
    const CharSetCodec& codec = none ? *a.NoneCodec : *a.Codec;
    QByteArray& bytes = FInputData[index];
    char32_t bad = 0;
    if (!codec.Encode(text, bytes, bad)) throw ESQLParamError(index, codec.CannotHold(bad));
    if (bytes.size() > std::numeric_limits<short>::max())
        throw ESQLParamError(index, QStringLiteral("the text is longer than 32767 bytes"));
    // Text keeps set NONE where the column has it, so its bytes go in unchanged.
    const bool textType = (var.sqltype & ~1) == SQL_TEXT || (var.sqltype & ~1) == SQL_VARYING;
    var.sqlsubtype = textType && none ? 0 : DynamicCharSet;
    var.sqltype = SQL_TEXT | 1;
    var.sqlscale = 0;
    var.sqllen = short(bytes.size());
    var.sqldata = bytes.data();
}

void FirebirdStatement::BindNumber(int index, XSQLVAR& var, const QString& text)
{
    QByteArray& data = FInputData[index];
    QString reason;
    const int type = var.sqltype & ~1;
    if ((type == SQL_SHORT || type == SQL_LONG || type == SQL_INT64) && var.sqlscale == 0) {
        qint64 value = 0;
        if (!NumericText::ToInteger(text, value, reason)) throw ESQLParamError(index, reason);
        const qint64 low = type == SQL_SHORT  ? std::numeric_limits<qint16>::min()
                           : type == SQL_LONG ? std::numeric_limits<qint32>::min()
                                              : std::numeric_limits<qint64>::min();
        const qint64 high = type == SQL_SHORT  ? std::numeric_limits<qint16>::max()
                            : type == SQL_LONG ? std::numeric_limits<qint32>::max()
                                               : std::numeric_limits<qint64>::max();
        if (value < low || value > high)
            throw ESQLParamError(index, QStringLiteral("'%1' is out of range").arg(text));
        data = QByteArray(8, '\0');
        var.sqltype = SQL_INT64 | 1;
        var.sqllen = 8;
        std::memcpy(data.data(), &value, 8);
        var.sqldata = data.data();
        return;
    }
    if (type == SQL_SHORT || type == SQL_LONG || type == SQL_INT64) {
        // A scaled number goes in as its text, so the engine rounds it in decimal.
        QString trimmed;
        bool exponent = false;
        if (!NumericText::IsReal(text, trimmed, exponent, reason))
            throw ESQLParamError(index, reason);
        if (!exponent) {
            data = trimmed.toLatin1();
            var.sqltype = SQL_TEXT | 1;
            var.sqlsubtype = 0;
            var.sqlscale = 0;
            var.sqllen = short(data.size());
            var.sqldata = data.data();
            return;
        }
    }
    double value = 0;
    if (!NumericText::ToReal(text, value, reason)) throw ESQLParamError(index, reason);
    data = QByteArray(8, '\0');
    std::memcpy(data.data(), &value, 8);
    var.sqltype = SQL_DOUBLE | 1;
    var.sqlscale = 0;
    var.sqllen = 8;
    var.sqldata = data.data();
}

bool FirebirdStatement::Fetch()
{
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = a.Api->isc_dsql_fetch(status, &FStatement, SQLDA_VERSION1, &Output());
    if (rc == 100) return false;
    a.Check(status);
    return true;
}

void FirebirdStatement::Commit()
{
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    if (FStatement) {
        a.Api->isc_dsql_free_statement(status, &FStatement, DSQL_drop);
        FStatement = 0;
    }
    EndTransaction();
}

void FirebirdStatement::EndTransaction()
{
    if (!FTransaction) return;
    const FirebirdAttachment& a = *FAttachment;
    ISC_STATUS_ARRAY status;
    a.Api->isc_commit_transaction(status, &FTransaction);
    a.Check(status);
}
