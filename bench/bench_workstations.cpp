// Several workstations writing back at once on one Firebird server: 1, 2 and
// 5 processes running the window's write-back (writebackchild, with their
// journals), on lists of their own (disjoint) or on the same products
// (overlapping), while this program searches the product table all along.
// Prints the rows written per second by all of them together, against one
// workstation alone, the runs that failed and the statements run again after
// a conflict, and the longest search during the run against the longest on
// the idle server.
//
//     bench_workstations [--products N] [--searches N]
//
// The server is the tests' (MASSAMEND_FB_HOST, MASSAMEND_FB_PASSWORD).

#include "ChildProgram.h"
#include "SecondConnection.h"
#include "TestDatabase.h"
#include "tools/DemoData.h"

#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTextStream>
#include <algorithm>
#include <memory>
#include <vector>

namespace
{

QTextStream& Out()
{
    static QTextStream out(stdout);
    return out;
}

const QString SearchStatement =
    QStringLiteral("select * from PRODUCT where PROD_NAME like '%茶%' order by PROD_ID");

struct Figures {
    double RowsPerSecond = 0;
    int Failed = 0;
    int Retries = 0;
    qint64 LongestSearch = 0;
};

// The longest of `searches` searches on the idle server, after one that
// fills its cache.
qint64 IdleSearch(SecondConnection& searcher, int searches)
{
    searcher.QueryRows(SearchStatement);
    qint64 longest = 0;
    for (int i = 0; i < searches; ++i) {
        QElapsedTimer timer;
        timer.start();
        searcher.QueryRows(SearchStatement);
        longest = std::max(longest, timer.elapsed());
    }
    return longest;
}

Figures Measure(int workstations, bool overlapping, int products)
{
    TestDatabaseOptions options;
    options.Products = overlapping ? products : products * workstations;
    TestDatabase database(TestBackend{TestBackend::Server}, options);
    if (!database.IsValid()) throw std::runtime_error(database.ErrorString().toStdString());
    SecondConnection searcher(database);
    const QString go = QDir(database.Dir()).filePath(QStringLiteral("go"));
    std::vector<std::unique_ptr<ChildProgram>> children;
    for (int w = 0; w < workstations; ++w) {
        QStringList listed;
        const int first = overlapping ? 0 : w * products;
        for (int i = first; i < first + products; ++i)
            listed << TDemoData::ProductCode(i);
        children.push_back(std::make_unique<ChildProgram>(
            database, listed, QStringLiteral("PSALE_PRICE"), QStringLiteral("%1.5").arg(100 + w),
            QDir(database.Dir()).filePath(QStringLiteral("journal-%1.sqlite").arg(w)), go));
    }
    for (const auto& child : children)
        if (!child->WaitFor("ready")) throw std::runtime_error(child->Rest().toStdString());
    QFile(go).open(QIODevice::WriteOnly);

    Figures figures;
    QElapsedTimer run;
    run.start();
    const auto running = [&] {
        return std::any_of(children.begin(), children.end(), [](const auto& child) {
            return child->Process.state() != QProcess::NotRunning;
        });
    };
    while (running()) {
        QElapsedTimer timer;
        timer.start();
        searcher.QueryRows(SearchStatement);
        figures.LongestSearch = std::max(figures.LongestSearch, timer.elapsed());
        for (const auto& child : children)
            child->Process.waitForFinished(5);
    }
    const double seconds = run.nsecsElapsed() / 1e9;
    for (const auto& child : children) {
        const QByteArray output = child->Rest();
        if (child->Process.exitCode() != 0 || output.contains("box:")) ++figures.Failed;
        const int at = int(output.indexOf("retries "));
        if (at >= 0)
            figures.Retries += output.mid(at + 8, output.indexOf('\n', at) - at - 8).toInt();
    }
    figures.RowsPerSecond = double(products) * workstations / seconds;
    return figures;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("products"), QStringLiteral("Products per workstation."),
                      QStringLiteral("N"), QStringLiteral("2000")});
    parser.addOption({QStringLiteral("searches"),
                      QStringLiteral("Searches on the idle server for the baseline."),
                      QStringLiteral("N"), QStringLiteral("10")});
    parser.process(application);
    const int products = parser.value(QStringLiteral("products")).toInt();
    try {
        qint64 idle = 0;
        {
            TestDatabaseOptions options;
            options.Products = products * 5;
            TestDatabase database(TestBackend{TestBackend::Server}, options);
            SecondConnection searcher(database);
            idle = IdleSearch(searcher, parser.value(QStringLiteral("searches")).toInt());
        }
        for (const bool overlapping : {false, true}) {
            double alone = 0;
            for (const int workstations : {1, 2, 5}) {
                const Figures f = Measure(workstations, overlapping, products);
                if (workstations == 1) alone = f.RowsPerSecond;
                // Each line names its size.
                const QString size = QStringLiteral("%1 workstations, %2, %3 products each")
                                         .arg(workstations)
                                         .arg(overlapping ? QStringLiteral("overlapping")
                                                          : QStringLiteral("disjoint"))
                                         .arg(products);
                Out() << size
                      << QStringLiteral(": %1 rows/s in all, ratio %2 to one alone; failed runs "
                                        "%3, retries %4\n")
                             .arg(f.RowsPerSecond, 0, 'f', 0)
                             .arg(f.RowsPerSecond / alone, 0, 'f', 2)
                             .arg(f.Failed)
                             .arg(f.Retries);
                Out() << size
                      << QStringLiteral(": longest search %1 ms against %2 ms on the idle server, "
                                        "ratio %3\n")
                             .arg(f.LongestSearch)
                             .arg(idle)
                             .arg(double(f.LongestSearch) / std::max<qint64>(idle, 1), 0, 'f', 2);
                Out().flush();
            }
        }
    } catch (const std::exception& error) {
        Out() << "bench_workstations: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
