// Loading the products picked in the query dialog: the product list opened
// with the statement "商品選擇" builds from their codes, against the same rows
// read by one range condition on the code, in the same run, on embedded
// Firebird and on SQLite. For reference, the same codes in IN lists joined by
// OR, which Firebird checks row by row, list after list.
//
//     bench_productselection [--products N] [--runs N] [--dir FOLDER]

#include "BareFetch.h"
#include "ProductList.h"
#include "QuotedStr.h"
#include "TField.h"
#include "TProductSelection.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace
{

QString OrJoinedLists(const QStringList& codes)
{
    QStringList sets;
    for (qsizetype first = 0; first < codes.size(); first += TProductSelection::MaxInListValues)
        sets.append(
            TProductSelection::CodeSet(codes.mid(first, TProductSelection::MaxInListValues)));
    return QStringLiteral("select * from product where prod_id in (") +
           sets.join(QStringLiteral(") or prod_id in (")) + QLatin1Char(')');
}

QString Ms(double ms)
{
    return QString::number(ms, 'f', 1);
}

double OpenMs(ProductList& list, const QString& statement, int expectedRows)
{
    list.Products.Close();
    list.Query.SetCommandText(statement);
    QElapsedTimer t;
    t.start();
    list.Products.Open();
    const double ms = t.nsecsElapsed() / 1e6;
    if (list.Products.RecordCount() != expectedRows)
        throw std::runtime_error("the statement did not load the picked products");
    return ms;
}

void Run(const Engine& engine, int runs)
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

    for (const int picked : {1500, 10000, 50000}) {
        if (picked > all.size()) break;
        const QStringList codes = all.mid(0, picked);
        const QString range =
            QStringLiteral("select * from product where prod_id between %1 and %2")
                .arg(QuotedStr(codes.first()), QuotedStr(codes.last()));
        const QString statement = TProductSelection::SelectStatement(codes);
        std::vector<double> rangeTimes, windowTimes;
        OpenMs(list, range, picked); // warm the caches once
        for (int r = 0; r < runs; ++r) {
            rangeTimes.push_back(OpenMs(list, range, picked));
            windowTimes.push_back(OpenMs(list, statement, picked));
        }
        out << "  " << picked << " products: range " << Ms(Median(rangeTimes)) << " ms, by codes "
            << Ms(Median(windowTimes)) << " ms, ratio "
            << QString::number(Median(windowTimes) / Median(rangeTimes), 'f', 2);
        // The OR-joined lists grow with the square of the codes: once is enough.
        if (picked <= 10000)
            out << "; OR-joined lists " << Ms(OpenMs(list, OrJoinedLists(codes), picked)) << " ms";
        out << Qt::endl;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        const BenchSetup setup = ParseBenchSetup(app.arguments(), QStringLiteral("Timed opens."));
        const QString& fdb = setup.FirebirdDatabase;
        const QString& sdb = setup.SqliteDatabase;
        Run({"Firebird embedded (BIG_5)", fdb, QStringLiteral("Interbase"),
             QStringLiteral("firebird"), QStringLiteral("libfbclient.so.2"),
             QStringLiteral("isc_attach_database"), [&] { return BareFirebird(fdb); }},
            setup.Runs);
        Run({"SQLite", sdb, QStringLiteral("SQLite"), QStringLiteral("sqlite"),
             QStringLiteral("libsqlite3.so.0"), QStringLiteral("sqlite3_open_v2"),
             [&] { return BareSqlite(sdb); }},
            setup.Runs);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "bench_productselection: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
