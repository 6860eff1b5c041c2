// "回存" of 10,000 products with the write-back journal against the same
// write-back without it, on embedded Firebird and on SQLite: the window's
// Button2Click (journal entry, the rows' values before, the marks of the
// written rows) against TWriteBack driven over the same rows through the same
// query, as Button2Click drove it before there was a journal. Both without
// the progress dialog, run one right after the other in alternating order.
//
//     bench_writebackjournal [--products N] [--runs N] [--dir FOLDER]
//                            [--backend NAME] [--no-forced-writes]

#include "FrmMassAmend.h"
#include "TChangeStamp.h"
#include "TComboBox.h"
#include "TProgressSink.h"
#include "TRecordingMessages.h"
#include "TWriteBack.h"
#include "TWriteBackJournal.h"
#include "tools/DbMaker.h"
#include "tools/DbxIniFiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace
{

const QString Column = QStringLiteral("PROD_SNAME");

// Every run writes a value of its own, so that each row really changes.
QString NextValue()
{
    static int serial = 0;
    return QStringLiteral("批次簡稱%1").arg(++serial);
}

class TSilentProgress : public TProgressSink
{
public:
    void Start(int) override {}
    bool Step(int) override { return true; }
    bool Update(int, bool) override { return true; }
    void Finish() override {}
};

void PointConnection(const QString& folder, const TDbOptions& options)
{
    TDbxIniFiles::Write(folder, options);
    QSettings settings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("MassAmend"),
                       QStringLiteral("SQLDriver"));
    settings.setValue(QStringLiteral("Connection Registry File"),
                      QDir(folder).filePath(TDbxIniFiles::ConnectionsFileName()));
    settings.setValue(QStringLiteral("Driver Registry File"),
                      QDir(folder).filePath(TDbxIniFiles::DriversFileName()));
}

double WithJournal(TFormMassAmend& form)
{
    // A box would be an error here, never one to wait for.
    TRecordingMessages boxes;
    form.Edit1->setText(NextValue());
    QElapsedTimer timer;
    timer.start();
    form.Button2Click(form.Button2);
    const double ms = timer.nsecsElapsed() / 1e6;
    if (!boxes.Boxes.isEmpty()) throw std::runtime_error(boxes.Texts().join(u' ').toStdString());
    return ms;
}

// Button2Click's steps for a text column, the journal left out (the name
// refresh runs inside TWriteBack::Run).
double WithoutJournal(TFormMassAmend& form)
{
    TSilentProgress progress;
    const TSQLParamValue value = NextValue();
    QElapsedTimer timer;
    timer.start();
    TWriteBack writeBack(*form.SQLQuery1, form.ChangeStamp());
    writeBack.Column = Column;
    TClientDataSet& list = *form.CDS_PRODUCT;
    list.First();
    std::vector<TWriteBackRow> rows;
    rows.reserve(std::size_t(list.RecordCount()));
    list.DisableControls();
    for (; !list.Eof(); list.Next())
        rows.push_back({form.CDS_PRODUCTPROD_ID->AsString(), value, {}});
    const TWriteBackResult result = writeBack.Run(rows, progress);
    if (result.Error) std::rethrow_exception(result.Error);
    list.First();
    list.MoveBy(result.Written);
    list.EnableControls();
    return timer.nsecsElapsed() / 1e6;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("回存 of 10,000 products with and without the write-back journal."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("products"), QStringLiteral("Products written back (10000)."),
         QStringLiteral("n"), QStringLiteral("10000")},
        {QStringLiteral("runs"), QStringLiteral("Measured runs (5)."), QStringLiteral("n"),
         QStringLiteral("5")},
        {QStringLiteral("dir"), QStringLiteral("Folder of the databases and the journal."),
         QStringLiteral("folder")},
        {QStringLiteral("backend"), QStringLiteral("firebird or sqlite (default: both)."),
         QStringLiteral("name")},
        {QStringLiteral("no-forced-writes"),
         QStringLiteral("Firebird database without forced writes.")},
    });
    parser.process(application);
    const int products = parser.value(QStringLiteral("products")).toInt();
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    QTemporaryDir temporary;
    const QString folder = parser.isSet(QStringLiteral("dir")) ? parser.value(QStringLiteral("dir"))
                                                               : temporary.path();
    QDir().mkpath(folder);
    // The user's own settings and journal stay as they are.
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());

    QTextStream out(stdout);
    const QString only = parser.value(QStringLiteral("backend"));
    for (const TDbBackend backend : {TDbBackend::Firebird, TDbBackend::SQLite}) {
        const bool firebird = backend == TDbBackend::Firebird;
        const QString name =
            firebird ? QStringLiteral("embedded Firebird") : QStringLiteral("SQLite");
        if (!only.isEmpty() &&
            only != (firebird ? QLatin1String("firebird") : QLatin1String("sqlite")))
            continue;
        TDbOptions options;
        options.Backend = backend;
        options.Products = products;
        options.Force = true;
        options.ForcedWrites = !parser.isSet(QStringLiteral("no-forced-writes"));
        options.Database = QDir(folder).filePath(firebird ? QStringLiteral("journal-bench.fdb")
                                                          : QStringLiteral("journal-bench.db"));
        try {
            TDbMaker(options).Make();
            PointConnection(QFileInfo(options.Database).absolutePath(), options);
            TFormMassAmend form;
            form.Journal().SetFileName(
                QDir(folder).filePath(QStringLiteral("writeback-journal.sqlite")));
            form.SetProgress(std::make_unique<TSilentProgress>());
            form.CDS_PRODUCT->Close();
            form.CDS_PRODUCT->SetCommandText(QStringLiteral("select * from PRODUCT"));
            form.CDS_PRODUCT->Open();
            form.ComboBox1->SetItemIndex(form.ComboBox2->findText(Column));

            std::vector<double> with, without, ratios;
            // The first round warms the caches and is not counted.
            for (int run = 0; run <= runs; ++run) {
                double w = 0;
                double wo = 0;
                if (run % 2 == 0) {
                    w = WithJournal(form);
                    wo = WithoutJournal(form);
                } else {
                    wo = WithoutJournal(form);
                    w = WithJournal(form);
                }
                if (run == 0) continue;
                with.push_back(w);
                without.push_back(wo);
                ratios.push_back(w / wo);
                out << QStringLiteral("  %1 run %2: with the journal %3 ms, without %4 ms\n")
                           .arg(name)
                           .arg(run)
                           .arg(w, 0, 'f', 1)
                           .arg(wo, 0, 'f', 1);
                out.flush();
            }
            out << QStringLiteral("回存 with the journal, %1%2: %3 products, median %4 ms against "
                                  "%5 ms without, ratio %6 (goal <= 1.1)\n")
                       .arg(name, firebird && !options.ForcedWrites
                                      ? QStringLiteral(" without forced writes")
                                      : QString())
                       .arg(products)
                       .arg(Median(with), 0, 'f', 1)
                       .arg(Median(without), 0, 'f', 1)
                       .arg(Median(ratios), 0, 'f', 3);
            out.flush();
        } catch (const std::exception& error) {
            out << "  failed: " << QString::fromUtf8(error.what()) << "\n";
            return 1;
        }
    }
    return 0;
}
