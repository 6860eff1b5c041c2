#include "FbStatement.h"

#include "FbDatabase.h"

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstring>
#include <stdexcept>

namespace
{

XSQLDA* Area(const std::unique_ptr<char[]>& storage)
{
    return reinterpret_cast<XSQLDA*>(storage.get());
}

std::unique_ptr<char[]> NewArea(int count)
{
    auto storage = std::make_unique<char[]>(XSQLDA_LENGTH(count));
    std::memset(storage.get(), 0, XSQLDA_LENGTH(count));
    XSQLDA* area = Area(storage);
    area->version = SQLDA_VERSION1;
    area->sqln = short(count);
    return storage;
}

constexpr ISC_LONG CharsetOctets = 1;

} // namespace

TFbStatement::TFbStatement(TFbDatabase& database, const QString& sql) : FDatabase(database)
{
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, &database.FHandle, &FHandle);
    TFbDatabase::Check(status, sql);
    try {
        Describe(sql);
    } catch (...) {
        // The destructor does not run for a statement that failed to prepare.
        isc_dsql_free_statement(status, &FHandle, DSQL_drop);
        throw;
    }
}

void TFbStatement::Describe(const QString& sql)
{
    ISC_STATUS_ARRAY status;
    FOutput = NewArea(1);
    const QByteArray text = FDatabase.EncodeText(sql);
    isc_dsql_prepare(status, &FDatabase.FTransaction, &FHandle, 0, text.constData(), SQL_DIALECT_V6,
                     Area(FOutput));
    TFbDatabase::Check(status, sql);
    if (Area(FOutput)->sqld > Area(FOutput)->sqln) {
        FOutput = NewArea(Area(FOutput)->sqld);
        isc_dsql_describe(status, &FHandle, SQL_DIALECT_V6, Area(FOutput));
        TFbDatabase::Check(status, sql);
    }
    XSQLDA* output = Area(FOutput);
    FOutputBuffers.resize(output->sqld);
    for (int i = 0; i < output->sqld; ++i) {
        XSQLVAR& var = output->sqlvar[i];
        const int type = var.sqltype & ~1;
        FOutputBuffers[i].Data.resize(var.sqllen + (type == SQL_VARYING ? 2 : 0));
        var.sqldata = FOutputBuffers[i].Data.data();
        var.sqlind = &FOutputBuffers[i].Null;
        var.sqltype = short(type | 1);
    }

    FInput = NewArea(1);
    isc_dsql_describe_bind(status, &FHandle, SQL_DIALECT_V6, Area(FInput));
    TFbDatabase::Check(status, sql);
    if (Area(FInput)->sqld > Area(FInput)->sqln) {
        FInput = NewArea(Area(FInput)->sqld);
        isc_dsql_describe_bind(status, &FHandle, SQL_DIALECT_V6, Area(FInput));
        TFbDatabase::Check(status, sql);
    }
    FInputBuffers.resize(Area(FInput)->sqld);
    for (int i = 0; i < ParamCount(); ++i)
        SetNull(i);
}

TFbStatement::~TFbStatement()
{
    ISC_STATUS_ARRAY status;
    isc_dsql_free_statement(status, &FHandle, DSQL_drop);
}

int TFbStatement::ParamCount() const
{
    return Area(FInput)->sqld;
}

XSQLVAR& TFbStatement::Param(int index)
{
    if (index < 0 || index >= ParamCount()) throw std::out_of_range("No such statement parameter");
    return Area(FInput)->sqlvar[index];
}

void TFbStatement::SetNull(int index)
{
    XSQLVAR& var = Param(index);
    TBuffer& buffer = FInputBuffers[index];
    buffer.Null = -1;
    var.sqlind = &buffer.Null;
    var.sqltype |= 1;
    var.sqldata = buffer.Data.data();
}

void TFbStatement::SetInteger(int index, qint64 value)
{
    XSQLVAR& var = Param(index);
    TBuffer& buffer = FInputBuffers[index];
    buffer.Data.resize(sizeof(ISC_INT64));
    std::memcpy(buffer.Data.data(), &value, sizeof(ISC_INT64));
    buffer.Null = 0;
    var.sqltype = SQL_INT64 | 1;
    var.sqlscale = 0;
    var.sqllen = sizeof(ISC_INT64);
    var.sqldata = buffer.Data.data();
    var.sqlind = &buffer.Null;
}

void TFbStatement::SetFloat(int index, double value)
{
    XSQLVAR& var = Param(index);
    TBuffer& buffer = FInputBuffers[index];
    buffer.Data.resize(sizeof(double));
    std::memcpy(buffer.Data.data(), &value, sizeof(double));
    buffer.Null = 0;
    var.sqltype = SQL_DOUBLE | 1;
    var.sqlscale = 0;
    var.sqllen = sizeof(double);
    var.sqldata = buffer.Data.data();
    var.sqlind = &buffer.Null;
}

void TFbStatement::SetText(int index, QStringView value)
{
    XSQLVAR& var = Param(index);
    const int type = var.sqltype & ~1;
    // A text parameter keeps the character set the engine described for it.
    if (type != SQL_VARYING && type != SQL_TEXT) var.sqlsubtype = 0;
    TBuffer& buffer = FInputBuffers[index];
    const QByteArray bytes = FDatabase.EncodeText(value);
    buffer.Data.resize(bytes.size() + 2);
    const short length = short(bytes.size());
    std::memcpy(buffer.Data.data(), &length, 2);
    std::memcpy(buffer.Data.data() + 2, bytes.constData(), bytes.size());
    buffer.Null = 0;
    var.sqltype = SQL_VARYING | 1;
    var.sqllen = length;
    var.sqldata = buffer.Data.data();
    var.sqlind = &buffer.Null;
}

void TFbStatement::Execute()
{
    ISC_STATUS_ARRAY status;
    if (FHasCursor) {
        isc_dsql_free_statement(status, &FHandle, DSQL_close);
        FHasCursor = false;
    }
    isc_dsql_execute(status, &FDatabase.FTransaction, &FHandle, SQL_DIALECT_V6, Area(FInput));
    TFbDatabase::Check(status, QStringLiteral("Statement failed"));
    FHasCursor = ColumnCount() > 0;
}

int TFbStatement::ColumnCount() const
{
    return Area(FOutput)->sqld;
}

bool TFbStatement::Fetch()
{
    if (!FHasCursor) return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS result = isc_dsql_fetch(status, &FHandle, SQL_DIALECT_V6, Area(FOutput));
    if (result == 100) {
        isc_dsql_free_statement(status, &FHandle, DSQL_close);
        FHasCursor = false;
        return false;
    }
    TFbDatabase::Check(status, QStringLiteral("Fetch failed"));
    return true;
}

QVariant TFbStatement::Value(int column)
{
    const XSQLVAR& var = Area(FOutput)->sqlvar[column];
    if (FOutputBuffers[column].Null) return {};
    const char* data = var.sqldata;
    auto scaled = [&](qint64 value) -> QVariant {
        if (var.sqlscale == 0) return value;
        double result = double(value);
        for (int i = 0; i < -var.sqlscale; ++i)
            result /= 10;
        return result;
    };
    switch (var.sqltype & ~1) {
    case SQL_TEXT:
        if ((var.sqlsubtype & 0xFF) == CharsetOctets) return QByteArray(data, var.sqllen);
        return FDatabase.DecodeText(QByteArrayView(data, var.sqllen));
    case SQL_VARYING: {
        short length;
        std::memcpy(&length, data, 2);
        if ((var.sqlsubtype & 0xFF) == CharsetOctets) return QByteArray(data + 2, length);
        return FDatabase.DecodeText(QByteArrayView(data + 2, length));
    }
    case SQL_SHORT: {
        short value;
        std::memcpy(&value, data, sizeof(value));
        return scaled(value);
    }
    case SQL_LONG: {
        ISC_LONG value;
        std::memcpy(&value, data, sizeof(value));
        return scaled(value);
    }
    case SQL_INT64: {
        ISC_INT64 value;
        std::memcpy(&value, data, sizeof(value));
        return scaled(value);
    }
    case SQL_FLOAT: {
        float value;
        std::memcpy(&value, data, sizeof(value));
        return double(value);
    }
    case SQL_DOUBLE: {
        double value;
        std::memcpy(&value, data, sizeof(value));
        return value;
    }
    case SQL_BOOLEAN:
        return *data != 0;
    case SQL_TYPE_DATE: {
        ISC_DATE value;
        std::memcpy(&value, data, sizeof(value));
        tm parts{};
        isc_decode_sql_date(&value, &parts);
        return QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday);
    }
    case SQL_TYPE_TIME: {
        ISC_TIME value;
        std::memcpy(&value, data, sizeof(value));
        return QTime::fromMSecsSinceStartOfDay(int(value / 10));
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP value;
        std::memcpy(&value, data, sizeof(value));
        tm parts{};
        isc_decode_sql_date(&value.timestamp_date, &parts);
        return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
                         QTime::fromMSecsSinceStartOfDay(int(value.timestamp_time / 10)));
    }
    case SQL_BLOB: {
        ISC_QUAD id;
        std::memcpy(&id, data, sizeof(id));
        return ReadBlob(id, var.sqlsubtype == isc_blob_text);
    }
    }
    throw std::runtime_error("Column type not supported: " + std::to_string(var.sqltype));
}

QVariant TFbStatement::ReadBlob(const ISC_QUAD& id, bool text)
{
    ISC_STATUS_ARRAY status;
    isc_blob_handle blob = 0;
    ISC_QUAD blobId = id;
    isc_open_blob2(status, &FDatabase.FHandle, &FDatabase.FTransaction, &blob, &blobId, 0, nullptr);
    TFbDatabase::Check(status, QStringLiteral("Can't open a blob"));
    QByteArray bytes;
    char segment[8192];
    for (;;) {
        unsigned short length = 0;
        const ISC_STATUS result = isc_get_segment(status, &blob, &length, sizeof(segment), segment);
        if (result != 0 && result != isc_segment) break;
        bytes.append(segment, length);
    }
    isc_close_blob(status, &blob);
    if (text) return FDatabase.DecodeText(bytes);
    return bytes;
}
