// Fetching the whole product table, 105 columns, through the program's driver
// against a bare loop on the engine's own C API that fetches every row and
// reads every value once, on embedded Firebird and on SQLite.
//
//     bench_driver_fetch [--products N] [--runs N] [--dir FOLDER]
//
// The databases are made once in FOLDER (default: a folder in the system's
// temporary folder) and reused by later runs.

#include "TSQLDriver.h"
#include "tools/DbMaker.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cstring>
#include <ibase.h>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace
{

// What every loop adds up from the values it reads, so none can be skipped.
struct Checksum {
    double Numbers = 0;
    qint64 TextBytes = 0;
    qint64 Nulls = 0;
    qint64 Rows = 0;

    bool operator==(const Checksum& o) const
    {
        return Numbers == o.Numbers && TextBytes == o.TextBytes && Nulls == o.Nulls &&
               Rows == o.Rows;
    }
};

const char* const Select = "SELECT * FROM PRODUCT";

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
    isc_dsql_prepare(status, &tr, &stmt, 0, Select, SQL_DIALECT_V6, da);
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
                break;
            }
            case SQL_DOUBLE: {
                double d;
                std::memcpy(&d, v.sqldata, 8);
                sum.Numbers += d;
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
    if (sqlite3_prepare_v2(db, Select, -1, &stmt, nullptr) != SQLITE_OK)
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
                break;
            case SQLITE_FLOAT:
                sum.Numbers += sqlite3_column_double(stmt, i);
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

// The same SELECT through the program's driver, every value through TSQLCursor.
Checksum Driver(const QString& libraryName, const QString& vendorLib, const QString& entry,
                const QString& database, qint64& utf8Bytes)
{
    std::unique_ptr<TSQLDriver> driver = CreateSQLDriver(libraryName);
    driver->Load(vendorLib, entry);
    const QMap<QString, QString> params = {{QStringLiteral("Database"), database},
                                           {QStringLiteral("User_Name"), QStringLiteral("SYSDBA")},
                                           {QStringLiteral("WaitOnLocks"), QStringLiteral("True")}};
    std::unique_ptr<TSQLDriverConnection> connection = driver->Connect(params);
    std::unique_ptr<TSQLCursor> cursor = connection->Open(QString::fromLatin1(Select), {});
    const int columns = cursor->ColumnCount();
    std::vector<TFieldType> types(columns);
    for (int i = 0; i < columns; ++i)
        types[i] = cursor->Column(i).DataType;
    Checksum sum;
    utf8Bytes = 0;
    while (cursor->Next()) {
        ++sum.Rows;
        for (int i = 0; i < columns; ++i) {
            if (cursor->IsNull(i)) {
                ++sum.Nulls;
                continue;
            }
            switch (types[i]) {
            case TFieldType::ftInteger:
                sum.Numbers += cursor->GetInteger(i);
                break;
            case TFieldType::ftFloat:
                sum.Numbers += cursor->GetFloat(i);
                break;
            default:
                utf8Bytes += cursor->GetText(i).size();
                break;
            }
        }
    }
    return sum;
}

void Make(TDbBackend backend, const QString& path, int products)
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

template <typename TBare, typename TDriver>
void Compare(const char* engine, int runs, TBare bare, TDriver driver)
{
    QTextStream out(stdout);
    std::vector<double> bareTimes, driverTimes;
    Checksum bareSum, driverSum;
    qint64 utf8 = 0;
    bare();
    driver(utf8); // warm the caches and the engine once
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        bareSum = bare();
        bareTimes.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        driverSum = driver(utf8);
        driverTimes.push_back(t.nsecsElapsed() / 1e6);
    }
    // The driver reads the same rows, numbers and nulls; text arrives as UTF-8.
    const bool same = bareSum.Rows == driverSum.Rows && bareSum.Nulls == driverSum.Nulls &&
                      bareSum.Numbers == driverSum.Numbers;
    out << engine << ": " << bareSum.Rows << " rows; text " << bareSum.TextBytes
        << " bytes in the engine, " << utf8 << " bytes of UTF-8 from the driver"
        << (same ? "" : "  CHECKSUMS DIFFER") << Qt::endl;
    out << "  bare C API ms:";
    for (double t : bareTimes)
        out << ' ' << qRound(t);
    out << "\n  driver ms:    ";
    for (double t : driverTimes)
        out << ' ' << qRound(t);
    const double ratio = Median(driverTimes) / Median(bareTimes);
    out << "\n  median bare " << qRound(Median(bareTimes)) << " ms, driver "
        << qRound(Median(driverTimes)) << " ms, ratio " << QString::number(ratio, 'f', 3)
        << (ratio <= 1.2 ? "  (goal 1.2: met)" : "  (goal 1.2: MISSED)") << Qt::endl;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOptions(
        {{QStringLiteral("products"), QStringLiteral("Rows of PRODUCT."), QStringLiteral("n"),
          QStringLiteral("100000")},
         {QStringLiteral("runs"), QStringLiteral("Timed runs of each loop."), QStringLiteral("n"),
          QStringLiteral("5")},
         {QStringLiteral("dir"), QStringLiteral("Where the databases are kept."),
          QStringLiteral("folder"), QDir::temp().filePath(QStringLiteral("massamend-bench"))}});
    parser.process(app);
    const int products = parser.value(QStringLiteral("products")).toInt();
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());
    const QDir dir(parser.value(QStringLiteral("dir")));
    QDir().mkpath(dir.path());
    const QString fdb = dir.filePath(QStringLiteral("products-%1.fdb").arg(products));
    const QString sdb = dir.filePath(QStringLiteral("products-%1.db").arg(products));

    try {
        Make(TDbBackend::Firebird, fdb, products);
        Make(TDbBackend::SQLite, sdb, products);
        Compare(
            "Firebird embedded (BIG_5)", runs, [&] { return BareFirebird(fdb); },
            [&](qint64& utf8) {
                return Driver(QStringLiteral("firebird"), QStringLiteral("libfbclient.so.2"),
                              QStringLiteral("isc_attach_database"), fdb, utf8);
            });
        Compare(
            "SQLite", runs, [&] { return BareSqlite(sdb); },
            [&](qint64& utf8) {
                return Driver(QStringLiteral("sqlite"), QStringLiteral("libsqlite3.so.0"),
                              QStringLiteral("sqlite3_open_v2"), sdb, utf8);
            });
    } catch (const std::exception& e) {
        QTextStream(stderr) << "bench_driver_fetch: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
