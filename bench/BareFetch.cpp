#include "BareFetch.h"

#include "tools/DbMaker.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <ibase.h>
#include <sqlite3.h>
#include <stdexcept>

const char* const ProductSelect = "SELECT * FROM PRODUCT";

namespace
{

[[noreturn]] void FailIsc(const ISC_STATUS* status)
{
    char buffer[512];
    QString message;
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        message += QString::fromLatin1(buffer) + QLatin1Char(' ');
    throw std::runtime_error(message.toStdString());
}

void CheckIsc(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0) FailIsc(status);
}

} // namespace

// The bare ISC loop: same attachment character set and transaction as the driver.
Checksum BareFirebird(const QString& database)
{
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    const QByteArray path = QFile::encodeName(database);
    const char dpb[] = {isc_dpb_version1,
                        isc_dpb_user_name,
                        6,
                        'S',
                        'Y',
                        'S',
                        'D',
                        'B',
                        'A',
                        isc_dpb_lc_ctype,
                        5,
                        'B',
                        'I',
                        'G',
                        '_',
                        '5'};
    isc_attach_database(status, 0, path.constData(), &db, sizeof dpb, dpb);
    CheckIsc(status);

    isc_tr_handle tr = 0;
    static char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                         isc_tpb_no_rec_version, isc_tpb_wait};
    isc_start_transaction(status, &tr, 1, &db, short(sizeof tpb), tpb);
    CheckIsc(status);
    isc_stmt_handle stmt = 0;
    isc_dsql_allocate_statement(status, &db, &stmt);
    CheckIsc(status);
    std::vector<char> daStorage(XSQLDA_LENGTH(200));
    auto* da = reinterpret_cast<XSQLDA*>(daStorage.data());
    da->version = SQLDA_VERSION1;
    da->sqln = 200;
    isc_dsql_prepare(status, &tr, &stmt, 0, ProductSelect, SQL_DIALECT_V6, da);
    CheckIsc(status);
    std::vector<std::vector<double>> buffers(da->sqld);
    std::vector<short> nulls(da->sqld);
    for (int i = 0; i < da->sqld; ++i) {
        buffers[i].resize(da->sqlvar[i].sqllen / 8 + 2);
        da->sqlvar[i].sqldata = reinterpret_cast<char*>(buffers[i].data());
        da->sqlvar[i].sqlind = &nulls[i];
    }
    isc_dsql_execute(status, &tr, &stmt, SQLDA_VERSION1, nullptr);
    CheckIsc(status);

    Checksum sum;
    while (isc_dsql_fetch(status, &stmt, SQLDA_VERSION1, da) == 0) {
        ++sum.Rows;
        for (int i = 0; i < da->sqld; ++i) {
            const XSQLVAR& v = da->sqlvar[i];
            if (*v.sqlind < 0) {
                ++sum.Nulls;
                continue;
            }
            switch (v.sqltype & ~1) {
            case SQL_LONG: {
                qint32 n;
                std::memcpy(&n, v.sqldata, 4);
                sum.Numbers += n;
                ++sum.Integers;
                break;
            }
            case SQL_DOUBLE: {
                double d;
                std::memcpy(&d, v.sqldata, 8);
                sum.Numbers += d;
                ++sum.Floats;
                break;
            }
            case SQL_VARYING: {
                quint16 n;
                std::memcpy(&n, v.sqldata, 2);
                sum.TextBytes += n;
                break;
            }
            default:
                throw std::runtime_error("unexpected column type");
            }
        }
    }
    CheckIsc(status);
    isc_dsql_free_statement(status, &stmt, DSQL_drop);
    isc_commit_transaction(status, &tr);
    CheckIsc(status);
    isc_detach_database(status, &db);
    return sum;
}

Checksum BareSqlite(const QString& database)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(database).constData(), &db, SQLITE_OPEN_READWRITE,
                        nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, ProductSelect, -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    const int columns = sqlite3_column_count(stmt);
    Checksum sum;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        ++sum.Rows;
        for (int i = 0; i < columns; ++i) {
            switch (sqlite3_column_type(stmt, i)) {
            case SQLITE_NULL:
                ++sum.Nulls;
                break;
            case SQLITE_INTEGER:
                sum.Numbers += sqlite3_column_int(stmt, i);
                ++sum.Integers;
                break;
            case SQLITE_FLOAT:
                sum.Numbers += sqlite3_column_double(stmt, i);
                ++sum.Floats;
                break;
            default:
                sqlite3_column_text(stmt, i);
                sum.TextBytes += sqlite3_column_bytes(stmt, i);
                break;
            }
        }
    }
    if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return sum;
}

void MakeProductDatabase(TDbBackend backend, const QString& path, int products)
{
    if (QFileInfo::exists(path)) return;
    QTextStream(stdout) << "making " << path << " (" << products << " products)..." << Qt::endl;
    TDbOptions options;
    options.Backend = backend;
    options.Database = path;
    options.Products = products;
    TDbMaker(options).Make();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

BenchSetup ParseBenchSetup(const QStringList& arguments, const QString& runsHelp)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions(
        {{QStringLiteral("products"), QStringLiteral("Rows of PRODUCT."), QStringLiteral("n"),
          QStringLiteral("100000")},
         {QStringLiteral("runs"), runsHelp, QStringLiteral("n"), QStringLiteral("5")},
         {QStringLiteral("dir"), QStringLiteral("Where the databases are kept."),
          QStringLiteral("folder"), QDir::temp().filePath(QStringLiteral("massamend-bench"))}});
    parser.process(arguments);
    BenchSetup setup;
    setup.Products = parser.value(QStringLiteral("products")).toInt();
    setup.Runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
    const QDir dir(parser.value(QStringLiteral("dir")));
    QDir().mkpath(dir.path());
    setup.FirebirdDatabase = dir.filePath(QStringLiteral("products-%1.fdb").arg(setup.Products));
    setup.SqliteDatabase = dir.filePath(QStringLiteral("products-%1.db").arg(setup.Products));
    MakeProductDatabase(TDbBackend::Firebird, setup.FirebirdDatabase, setup.Products);
    MakeProductDatabase(TDbBackend::SQLite, setup.SqliteDatabase, setup.Products);
    return setup;
}
