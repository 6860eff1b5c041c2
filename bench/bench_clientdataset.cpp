// Opening the whole product table into a client dataset, against the bare
// C-API fetch in the same run, on embedded Firebird and on SQLite; then what
// the dataset holds in memory, Locate with a partial case-insensitive key and
// setting index field names (text in Big5 order) against a plain sort of the
// same values, all on the same rows.
//
//     bench_clientdataset [--products N] [--runs N] [--dir FOLDER]

#include "BareFetch.h"
#include "ProductList.h"
#include "TClientDataSet.h"
#include "TField.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTextStream>
#include <algorithm>
#include <string>
#include <vector>

namespace
{

QString Ms(double ms)
{
    return QString::number(ms, 'f', ms < 10 ? 3 : 0);
}

void Run(const Engine& engine, int runs)
{
    QTextStream out(stdout);
    out << engine.Name << Qt::endl;
    ProductList list(engine);

    Checksum raw = engine.Bare();
    list.Products.Open(); // warm the caches once
    list.Products.Close();
    std::vector<double> bareTimes, openTimes;
    for (int r = 0; r < runs; ++r) {
        QElapsedTimer t;
        t.start();
        raw = engine.Bare();
        bareTimes.push_back(t.nsecsElapsed() / 1e6);
        list.Products.Close();
        t.restart();
        list.Products.Open();
        openTimes.push_back(t.nsecsElapsed() / 1e6);
    }
    const double openRatio = Median(openTimes) / Median(bareTimes);
    out << "  open " << list.Products.RecordCount() << " rows x " << list.Products.FieldCount()
        << " fields: median bare fetch " << Ms(Median(bareTimes)) << " ms, open "
        << Ms(Median(openTimes)) << " ms, ratio " << QString::number(openRatio, 'f', 3)
        << (openRatio <= 1.5 ? "  (goal 1.5: met)" : "  (goal 1.5: MISSED)") << Qt::endl;

    const double held = double(list.Products.DataSize());
    const double memoryRatio = held / double(raw.RawBytes());
    out << "  memory: raw values " << raw.RawBytes() << " bytes, held " << qint64(held)
        << " bytes, ratio " << QString::number(memoryRatio, 'f', 3)
        << (memoryRatio <= 2.0 ? "  (goal 2: met)" : "  (goal 2: MISSED)") << Qt::endl;

    // Keys taken from rows all over the table, cut to a prefix and lower-cased,
    // and one that matches nothing (a whole scan).
    TField* name = list.Products.FieldByName(QStringLiteral("PROD_NAME"));
    QStringList keys;
    QRandomGenerator random(7);
    for (int i = 0; i < 200; ++i) {
        list.Products.SetRecNo(1 + int(random.bounded(list.Products.RecordCount())));
        keys << name->AsString().left(3).toLower();
    }
    keys << QStringLiteral("no such product");
    const TLocateOptions options{TLocateOption::loCaseInsensitive, TLocateOption::loPartialKey};
    double worst = 0;
    QElapsedTimer all;
    all.start();
    for (const QString& key : keys) {
        QElapsedTimer t;
        t.start();
        list.Products.Locate(QStringLiteral("PROD_NAME"), key, options);
        worst = std::max(worst, t.nsecsElapsed() / 1e6);
    }
    const double mean = all.nsecsElapsed() / 1e6 / keys.size();
    out << "  Locate PROD_NAME partial, case-insensitive: mean " << Ms(mean) << " ms, worst "
        << Ms(worst) << " ms" << (worst < 5 ? "  (goal 5 ms: met)" : "  (goal 5 ms: MISSED)")
        << Qt::endl;

    // Text sorts in Big5 order; the baseline is a plain sort of the same
    // values, already in memory, by their bytes (text) or value (numbers).
    for (const QString& field : {QStringLiteral("PROD_NAME"), QStringLiteral("SALE_PRICE"),
                                 QStringLiteral("PROVIDER_ID")}) {
        list.Products.SetIndexFieldNames(QString());
        const TField* f = list.Products.FieldByName(field);
        const bool text = f->DataType() == TFieldType::ftString;
        std::vector<std::string> texts;
        std::vector<double> numbers;
        for (list.Products.First(); !list.Products.Eof(); list.Products.Next()) {
            if (text)
                texts.push_back(f->AsString().toStdString());
            else
                numbers.push_back(f->AsFloat());
        }
        std::vector<int> order(text ? texts.size() : numbers.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = int(i);
        QElapsedTimer t;
        t.start();
        if (text)
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return texts[a] < texts[b]; });
        else
            std::stable_sort(order.begin(), order.end(),
                             [&](int a, int b) { return numbers[a] < numbers[b]; });
        const double baseline = t.nsecsElapsed() / 1e6;
        t.restart();
        list.Products.SetIndexFieldNames(field);
        const double ms = t.nsecsElapsed() / 1e6;
        out << "  index field names " << field << (text ? " (Big5 order)" : "") << ", "
            << list.Products.RecordCount() << " rows: " << Ms(ms)
            << " ms, plain sort of the values " << Ms(baseline) << " ms, ratio "
            << QString::number(ms / baseline, 'f', 2)
            << (ms < 150 ? "  (goal 150 ms: met)" : "  (goal 150 ms: MISSED)") << Qt::endl;
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
        const int runs = setup.Runs;
        Run({"Firebird embedded (BIG_5)", fdb, QStringLiteral("Interbase"),
             QStringLiteral("firebird"), QStringLiteral("libfbclient.so.2"),
             QStringLiteral("isc_attach_database"), [&] { return BareFirebird(fdb); }},
            runs);
        Run({"SQLite", sdb, QStringLiteral("SQLite"), QStringLiteral("sqlite"),
             QStringLiteral("libsqlite3.so.0"), QStringLiteral("sqlite3_open_v2"),
             [&] { return BareSqlite(sdb); }},
            runs);
    } catch (const std::exception& e) {
        QTextStream(stderr) << "bench_clientdataset: " << e.what() << Qt::endl;
        return 1;
    }
    return 0;
}
