// Loading the products picked in the query dialog: the product list opened
// as "商品選擇" opens it for a code list, from building the statement and its
// parameter batches to the last row, against the same rows read by one range
// condition on the code, in the same run, on embedded Firebird and on SQLite.
// --batch-sizes adds, for reference, the figures of batches of other sizes.
//
//     bench_productselection [--products N] [--runs N] [--dir FOLDER]
//                            [--batch-sizes N,N,...]

#include "BareFetch.h"
#include "ProductList.h"
#include "QuotedStr.h"
#include "TField.h"
#include "TProductSelection.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <functional>
#include <time.h>

namespace
{

constexpr double Goal = 1.5;

QString Ms(double ms)
{
    return QString::number(ms, 'f', 1);
}

double CpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// The time each open took and the processor time of this process in it (the
// embedded engines run in it), which other work on a shared machine disturbs
// less.
struct TOpenTimes {
    std::vector<double> Wall;
    std::vector<double> Cpu;
};

// One open, the preparation of its command included.
void TimeOpen(ProductList& list, const std::function<TSelectCommand()>& command, int expectedRows,
              TOpenTimes* times)
{
    list.Products.Close();
    QElapsedTimer t;
    t.start();
    const double cpu = CpuMs();
    const TSelectCommand c = command();
    list.Products.SetCommandText(c.Text);
    list.Products.SetParamBatches(c.ParamBatches);
    list.Products.Open();
    if (times) {
        times->Wall.push_back(t.nsecsElapsed() / 1e6);
        times->Cpu.push_back(CpuMs() - cpu);
    }
    if (list.Products.RecordCount() != expectedRows)
        throw std::runtime_error("the statement did not load the picked products");
}

// "<what>: X ms, range Y ms, ratio Z", by time taken and by processor time.
void PrintRatios(QTextStream& out, const QString& what, const TOpenTimes& range,
                 const TOpenTimes& other)
{
    const double wall = Median(other.Wall) / Median(range.Wall);
    const double cpu = Median(other.Cpu) / Median(range.Cpu);
    out << what << ": " << Ms(Median(other.Wall)) << " ms, range " << Ms(Median(range.Wall))
        << " ms, ratio " << QString::number(wall, 'f', 2)
        << (wall <= Goal ? "  (goal 1.5: met)" : "  (goal 1.5: MISSED)") << Qt::endl;
    out << what << ", processor time: " << Ms(Median(other.Cpu)) << " ms, range "
        << Ms(Median(range.Cpu)) << " ms, ratio " << QString::number(cpu, 'f', 2) << Qt::endl;
}

void Run(const Engine& engine, int runs, const QList<int>& batchSizes)
{
    QTextStream out(stdout);
    out << engine.Name << Qt::endl;
    ProductList list(engine);
    list.Query.SetCommandText(QStringLiteral("select PROD_ID from PRODUCT order by PROD_ID"));
    list.Products.Open();
    QStringList all;
    TField* id = list.Products.FieldByName(QStringLiteral("PROD_ID"));
    for (list.Products.First(); !list.Products.Eof(); list.Products.Next())
        all.append(id->AsString());

    for (const int picked : {10000, 50000, 100000}) {
        if (picked > all.size()) break;
        const QStringList codes = all.mid(0, picked);
        const QString range =
            QStringLiteral("select * from product where prod_id between %1 and %2")
                .arg(QuotedStr(codes.first()), QuotedStr(codes.last()));
        auto byRange = [&] { return TSelectCommand{range, {}}; };
        auto byCodes = [&] { return TProductSelection::SelectCommand(codes); };
        auto bySize = [&](int size) {
            return [&codes, size] {
                return TSelectCommand{TProductSelection::BatchStatement(size),
                                      TProductSelection::CodeBatches(codes, size)};
            };
        };
        TOpenTimes rangeTimes, codeTimes;
        std::vector<TOpenTimes> sizeTimes(batchSizes.size());
        TimeOpen(list, byRange, picked, nullptr); // warm the caches once
        // Turn about, so that the other work on the machine weighs on all alike.
        for (int r = 0; r < runs; ++r) {
            TimeOpen(list, byRange, picked, &rangeTimes);
            TimeOpen(list, byCodes, picked, &codeTimes);
            for (qsizetype i = 0; i < batchSizes.size(); ++i)
                TimeOpen(list, bySize(batchSizes[i]), picked, &sizeTimes[i]);
        }
        PrintRatios(out, QStringLiteral("  %1 products by codes").arg(picked), rangeTimes,
                    codeTimes);
        for (qsizetype i = 0; i < batchSizes.size(); ++i)
            PrintRatios(
                out,
                QStringLiteral("    %1 products in batches of %2").arg(picked).arg(batchSizes[i]),
                rangeTimes, sizeTimes[i]);
    }
}

QList<int> BatchSizes(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    parser.addOptions({{QStringLiteral("batch-sizes"), QString(), QStringLiteral("list")},
                       {QStringLiteral("products"), QString(), QStringLiteral("n")},
                       {QStringLiteral("runs"), QString(), QStringLiteral("n")},
                       {QStringLiteral("dir"), QString(), QStringLiteral("folder")}});
    parser.parse(arguments);
    QList<int> sizes;
    for (const QString& size :
         parser.value(QStringLiteral("batch-sizes")).split(QLatin1Char(','), Qt::SkipEmptyParts))
        sizes.append(size.toInt());
    return sizes;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        QStringList arguments = app.arguments();
        const QList<int> batchSizes = BatchSizes(arguments);
        for (qsizetype i = arguments.indexOf(QStringLiteral("--batch-sizes")); i > 0;
             i = arguments.indexOf(QStringLiteral("--batch-sizes")))
            arguments.remove(i, 2);
        const BenchSetup setup = ParseBenchSetup(arguments, QStringLiteral("Timed opens."));
        const QString& fdb = setup.FirebirdDatabase;
        const QString& sdb = setup.SqliteDatabase;
        Run({"Firebird embedded (BIG_5)", fdb, QStringLiteral("Interbase"),
             QStringLiteral("firebird"), QStringLiteral("libfbclient.so.2"),
             QStringLiteral("isc_attach_database"), [&] { return BareFirebird(fdb); }},
            setup.Runs, batchSizes);
        Run({"SQLite", sdb, QStringLiteral("SQLite"), QStringLiteral("sqlite"),
             QStringLiteral("libsqlite3.so.0"), QStringLiteral("sqlite3_open_v2"),
             [&] { return BareSqlite(sdb); }},
            setup.Runs, batchSizes);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "bench_productselection: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
