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

namespace
{

constexpr double Goal = 1.5;

QString Ms(double ms)
{
    return QString::number(ms, 'f', 1);
}

// Times one open, the preparation of its command included.
double OpenMs(ProductList& list, const std::function<TSelectCommand()>& command, int expectedRows)
{
    list.Products.Close();
    QElapsedTimer t;
    t.start();
    const TSelectCommand c = command();
    list.Products.SetCommandText(c.Text);
    list.Products.SetParamBatches(c.ParamBatches);
    list.Products.Open();
    const double ms = t.nsecsElapsed() / 1e6;
    if (list.Products.RecordCount() != expectedRows)
        throw std::runtime_error("the statement did not load the picked products");
    return ms;
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
        std::vector<double> rangeTimes, codeTimes;
        OpenMs(list, byRange, picked); // warm the caches once
        for (int r = 0; r < runs; ++r) {
            rangeTimes.push_back(OpenMs(list, byRange, picked));
            codeTimes.push_back(OpenMs(list, byCodes, picked));
        }
        const double ratio = Median(codeTimes) / Median(rangeTimes);
        out << "  " << picked << " products: range " << Ms(Median(rangeTimes)) << " ms, by codes "
            << Ms(Median(codeTimes)) << " ms, ratio " << QString::number(ratio, 'f', 2)
            << (ratio <= Goal ? "  (goal 1.5: met)" : "  (goal 1.5: MISSED)") << Qt::endl;
        for (const int size : batchSizes) {
            auto bySize = [&] {
                return TSelectCommand{TProductSelection::BatchStatement(size),
                                      TProductSelection::CodeBatches(codes, size)};
            };
            std::vector<double> sizeTimes;
            for (int r = 0; r < runs; ++r)
                sizeTimes.push_back(OpenMs(list, bySize, picked));
            out << "    batches of " << size << ": " << Ms(Median(sizeTimes)) << " ms, ratio "
                << QString::number(Median(sizeTimes) / Median(rangeTimes), 'f', 2) << Qt::endl;
        }
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
