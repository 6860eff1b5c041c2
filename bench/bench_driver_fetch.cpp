// Fetching the whole product table, 105 columns, through the program's driver
// against a bare loop on the engine's own C API that fetches every row and
// reads every value once, on embedded Firebird and on SQLite.
//
//     bench_driver_fetch [--products N] [--runs N] [--dir FOLDER]
//
// The databases are made once in FOLDER (default: a folder in the system's
// temporary folder) and reused by later runs.

#include "BareFetch.h"
#include "TSQLDriver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace
{

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
    std::unique_ptr<TSQLCursor> cursor = connection->Open(QString::fromLatin1(ProductSelect), {});
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
    try {
        const BenchSetup setup =
            ParseBenchSetup(app.arguments(), QStringLiteral("Timed runs of each loop."));
        const QString& fdb = setup.FirebirdDatabase;
        const QString& sdb = setup.SqliteDatabase;
        const int runs = setup.Runs;
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
