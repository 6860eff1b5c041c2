// Writing one value back to 10,000 products, on embedded Firebird and on
// SQLite: the window's "回存" (Button2Click, one statement per product, each
// committed on its own, the progress dialog included) against a bare loop on
// the engine's C API that prepares one UPDATE once and executes and commits
// it per product. For reference: the window without its progress dialog, a
// bare loop that prepares each product's own text with the code in it (what
// preparing per row would cost), and the single set-based UPDATE of the same
// rows.
//
//     bench_writeback [--products N] [--runs N] [--dir FOLDER] [--backend NAME]
//                     [--no-forced-writes] [--server HOST]
//
// The databases are made in FOLDER (default: a temporary folder) with the
// maker's settings (forced writes on, as the demo database has them). With
// --server, Firebird's database is reached through the server on HOST, which
// must be able to write FOLDER: every row then costs its round trips.

#include "FrmMassAmend.h"
#include "TComboBox.h"
#include "TProgressDialogSink.h"
#include "TWriteBackJournal.h"
#include "tools/Big5Iconv.h"
#include "tools/DbMaker.h"
#include "tools/DbxIniFiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <ibase.h>
#include <sqlite3.h>
#include <stdexcept>
#include <vector>

namespace
{

const char* const Column = "PROD_SNAME";

// Every phase writes a value of its own, so that each row really changes:
// an engine may skip writing a row that keeps its values.
QString NextValue()
{
    static int serial = 0;
    return QStringLiteral("批次簡稱%1").arg(++serial);
}

// The stamps as the window makes them, read from the clock for every row.
QByteArray DateNow()
{
    return QDate::currentDate().toString(u"yyyy/MM/dd").toLatin1();
}
QByteArray TimeNow()
{
    return QTime::currentTime().toString(u"HH:mm:ss").toLatin1();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---- Firebird on the ISC API ------------------------------------------------

void FbCheck(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0) {
        char text[512];
        const ISC_STATUS* vector = status;
        QString message;
        while (fb_interpret(text, sizeof text, &vector))
            message += QString::fromLocal8Bit(text) + QLatin1Char(' ');
        throw std::runtime_error(message.toStdString());
    }
}

// The same attachment and transaction settings as the program's driver.
struct FbAttachment {
    explicit FbAttachment(const QString& database)
    {
        QByteArray dpb(1, char(isc_dpb_version1));
        const auto add = [&dpb](char tag, const QByteArray& value) {
            dpb += tag;
            dpb += char(value.size());
            dpb += value;
        };
        add(isc_dpb_user_name, "SYSDBA");
        add(isc_dpb_password, "masterkey");
        add(isc_dpb_lc_ctype, "BIG_5");
        const QByteArray path = QFile::encodeName(database);
        isc_attach_database(Status, 0, path.constData(), &Db, short(dpb.size()), dpb.constData());
        FbCheck(Status);
    }
    ~FbAttachment() { isc_detach_database(Status, &Db); }

    void Start()
    {
        static const char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                                   isc_tpb_no_rec_version, isc_tpb_wait};
        isc_start_transaction(Status, &Tr, 1, &Db, short(sizeof tpb), tpb);
        FbCheck(Status);
    }
    void Commit()
    {
        isc_commit_transaction(Status, &Tr);
        FbCheck(Status);
    }

    ISC_STATUS_ARRAY Status{};
    isc_db_handle Db = 0;
    isc_tr_handle Tr = 0;
};

// An UPDATE with text parameters. Prepared in a transaction of its own, it
// runs many times, each in its own transaction; prepared in the caller's,
// it runs once in that transaction.
struct FbUpdate {
    FbUpdate(FbAttachment& a, const QByteArray& sql, int params, bool inCallersTransaction = false)
        : A(a), Params(params), InCallersTransaction(inCallersTransaction)
    {
        In.reset(static_cast<XSQLDA*>(::operator new(XSQLDA_LENGTH(params))));
        In->version = SQLDA_VERSION1;
        In->sqln = short(params);
        isc_dsql_allocate_statement(A.Status, &A.Db, &Handle);
        FbCheck(A.Status);
        if (!InCallersTransaction) A.Start();
        isc_dsql_prepare(A.Status, &A.Tr, &Handle, 0, sql.constData(), 3, nullptr);
        FbCheck(A.Status);
        if (!InCallersTransaction) A.Commit();
        isc_dsql_describe_bind(A.Status, &Handle, 1, In.get());
        FbCheck(A.Status);
        Buffers.resize(params);
        Nulls.assign(params, 0);
    }
    ~FbUpdate() { isc_dsql_free_statement(A.Status, &Handle, DSQL_drop); }

    void Execute(const QList<QByteArray>& values)
    {
        for (int i = 0; i < Params; ++i) {
            XSQLVAR& var = In->sqlvar[i];
            Buffers[i] = values[i];
            var.sqltype = SQL_TEXT + 1;
            var.sqllen = short(Buffers[i].size());
            var.sqldata = Buffers[i].data();
            var.sqlind = &Nulls[i];
        }
        if (!InCallersTransaction) A.Start();
        isc_dsql_execute(A.Status, &A.Tr, &Handle, 1, In.get());
        FbCheck(A.Status);
        if (!InCallersTransaction) A.Commit();
    }

    struct Free {
        void operator()(XSQLDA* p) const { ::operator delete(p); }
    };
    FbAttachment& A;
    int Params;
    bool InCallersTransaction;
    isc_stmt_handle Handle = 0;
    std::unique_ptr<XSQLDA, Free> In;
    std::vector<QByteArray> Buffers;
    std::vector<short> Nulls;
};

// The attachment speaks BIG_5, as the program's does.
QByteArray Big5(const QString& text)
{
    return TBig5Iconv::Encode(text);
}

double BareFirebird(const QString& database, const QStringList& codes)
{
    FbAttachment a(database);
    FbUpdate update(a,
                    QByteArray("UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , ") + Column +
                        " = ? where PROD_ID = ?",
                    4);
    const QByteArray value = Big5(NextValue());
    QElapsedTimer timer;
    timer.start();
    for (const QString& code : codes)
        update.Execute({DateNow(), TimeNow(), value, code.toLatin1()});
    return timer.nsecsElapsed() / 1e6;
}

// Every row its own text with the code as a literal, prepared and run in the
// row's transaction: the cost of preparing per row.
double PerRowFirebird(const QString& database, const QStringList& codes)
{
    FbAttachment a(database);
    const QByteArray value = Big5(NextValue());
    QElapsedTimer timer;
    timer.start();
    for (const QString& code : codes) {
        a.Start();
        FbUpdate update(a,
                        QByteArray("UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , ") + Column +
                            " = ? \n where PROD_ID = '" + code.toLatin1() + "'",
                        3, true);
        update.Execute({DateNow(), TimeNow(), value});
        a.Commit();
    }
    return timer.nsecsElapsed() / 1e6;
}

double SetBasedFirebird(const QString& database)
{
    FbAttachment a(database);
    FbUpdate update(
        a, QByteArray("UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , ") + Column + " = ?", 3);
    QElapsedTimer timer;
    timer.start();
    update.Execute({DateNow(), TimeNow(), Big5(NextValue())});
    return timer.nsecsElapsed() / 1e6;
}

// ---- SQLite -----------------------------------------------------------------

struct SqliteDb {
    explicit SqliteDb(const QString& path)
    {
        if (sqlite3_open_v2(QFile::encodeName(path).constData(), &Db, SQLITE_OPEN_READWRITE,
                            nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(Db));
        // The program's driver settings.
        Exec("PRAGMA journal_mode = WAL");
        Exec("PRAGMA synchronous = FULL");
    }
    ~SqliteDb() { sqlite3_close_v2(Db); }
    void Exec(const char* sql)
    {
        if (sqlite3_exec(Db, sql, nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(Db));
    }
    sqlite3* Db = nullptr;
};

double RunSqlite(const QString& database, const QByteArray& sql, const QStringList& codes)
{
    SqliteDb db(database);
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db.Db, sql.constData(), -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db.Db));
    const QByteArray value = NextValue().toUtf8();
    QElapsedTimer timer;
    timer.start();
    const int rounds = codes.isEmpty() ? 1 : int(codes.size());
    for (int i = 0; i < rounds; ++i) {
        const QByteArray date = DateNow();
        const QByteArray time = TimeNow();
        sqlite3_bind_text(statement, 1, date.constData(), int(date.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, time.constData(), int(time.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, value.constData(), int(value.size()), SQLITE_STATIC);
        QByteArray code;
        if (!codes.isEmpty()) {
            code = codes[i].toUtf8();
            sqlite3_bind_text(statement, 4, code.constData(), int(code.size()), SQLITE_STATIC);
        }
        if (sqlite3_step(statement) != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.Db));
        sqlite3_reset(statement);
    }
    const double ms = timer.nsecsElapsed() / 1e6;
    sqlite3_finalize(statement);
    return ms;
}

double PerRowSqlite(const QString& database, const QStringList& codes)
{
    SqliteDb db(database);
    const QByteArray value = NextValue().toUtf8();
    QElapsedTimer timer;
    timer.start();
    for (const QString& code : codes) {
        const QByteArray sql = QByteArray("UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , ") +
                               Column + " = ? \n where PROD_ID = '" + code.toUtf8() + "'";
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db.Db, sql.constData(), int(sql.size()), &statement, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db.Db));
        const QByteArray date = DateNow();
        const QByteArray time = TimeNow();
        sqlite3_bind_text(statement, 1, date.constData(), int(date.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 2, time.constData(), int(time.size()), SQLITE_STATIC);
        sqlite3_bind_text(statement, 3, value.constData(), int(value.size()), SQLITE_STATIC);
        const int rc = sqlite3_step(statement);
        sqlite3_finalize(statement);
        if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db.Db));
    }
    return timer.nsecsElapsed() / 1e6;
}

double BareSqlite(const QString& database, const QStringList& codes)
{
    return RunSqlite(database,
                     QByteArray("UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , ") + Column +
                         " = ? where PROD_ID = ?",
                     codes);
}

double SetBasedSqlite(const QString& database)
{
    return RunSqlite(database,
                     QByteArray("UPDATE PRODUCT SET CHG_DATE = ?, chg_time=? , ") + Column + " = ?",
                     {});
}

// ---- the window ---------------------------------------------------------------

// The window opens on whatever the connections file in folder names.
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

// Progress that shows nothing, to tell the dialog's share.
class TSilentProgress : public TProgressSink
{
public:
    void Start(int) override {}
    bool Step(int) override { return true; }
    bool Update(int, bool) override { return true; }
    void Finish() override {}
};

// The longest pause of the window's event loop during the last write-back, ms:
// a timer every 10 ms on the window's thread notes the gaps between its turns.
double LongestPause = 0;

double Window(TFormMassAmend& form)
{
    form.Edit1->setText(NextValue());
    QElapsedTimer gap;
    double longest = 0;
    QTimer tick;
    tick.setInterval(10);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, gap.nsecsElapsed() / 1e6);
        gap.start();
    });
    QElapsedTimer timer;
    timer.start();
    gap.start();
    tick.start();
    form.Button2Click(form.Button2);
    const double ms = timer.nsecsElapsed() / 1e6;
    LongestPause = std::max(longest, gap.nsecsElapsed() / 1e6);
    return ms;
}

struct Figures {
    // Fastest runs, ms.
    double Window = 0;
    double Silent = 0;
    double Bare = 0;
    double PerRow = 0;
    double SetBased = 0;
    // Medians of the runs' ratios.
    double Ratio = 0;
    double SilentRatio = 0;
    double DesignRatio = 0;
    double OwnRatio = 0;
    // Longest pause of the window's event loop over every measured run, ms.
    double Pause = 0;
};

double Fastest(const std::vector<double>& values)
{
    return *std::min_element(values.begin(), values.end());
}

Figures Measure(const TDbOptions& options, const QString& folder, int runs, QTextStream& out)
{
    const bool firebird = options.Backend == TDbBackend::Firebird;
    PointConnection(folder, options);
    TFormMassAmend form;
    // The user's own journal stays as it is.
    form.Journal().SetFileName(QDir(folder).filePath(QStringLiteral("writeback-journal.sqlite")));
    form.CDS_PRODUCT->Close();
    form.CDS_PRODUCT->SetCommandText(QStringLiteral("select * from PRODUCT"));
    form.CDS_PRODUCT->Open();
    form.ComboBox1->SetItemIndex(form.ComboBox2->findText(QLatin1String(Column)));
    QStringList codes;
    for (form.CDS_PRODUCT->First(); !form.CDS_PRODUCT->Eof(); form.CDS_PRODUCT->Next())
        codes << form.CDS_PRODUCTPROD_ID->AsString();
    form.CDS_PRODUCT->First();

    const std::function<double()> phases[] = {
        [&] {
            return firebird ? BareFirebird(options.Database, codes)
                            : BareSqlite(options.Database, codes);
        },
        [&] {
            form.SetProgress(std::make_unique<TProgressDialogSink>(&form));
            return Window(form);
        },
        [&] {
            form.SetProgress(std::make_unique<TSilentProgress>());
            return Window(form);
        },
        [&] {
            return firebird ? PerRowFirebird(options.Database, codes)
                            : PerRowSqlite(options.Database, codes);
        },
        [&] {
            return firebird ? SetBasedFirebird(options.Database) : SetBasedSqlite(options.Database);
        },
    };
    constexpr int count = int(std::size(phases));
    std::vector<std::vector<double>> times(count);
    std::vector<double> ratios, silentRatios, designRatios, ownRatios;
    double pause = 0;
    // The first round warms the caches and is not counted. The disk and the
    // processors are shared, so each run compares loops that ran one right
    // after the other, in alternating order.
    for (int run = 0; run <= runs; ++run) {
        double t[count] = {};
        double runPause = 0;
        for (int k = 0; k < count; ++k) {
            const int phase = run % 2 == 0 ? k : count - 1 - k;
            t[phase] = phases[phase]();
            if (phase == 1 || phase == 2) runPause = std::max(runPause, LongestPause);
        }
        if (run == 0) continue;
        pause = std::max(pause, runPause);
        for (int k = 0; k < count; ++k)
            times[k].push_back(t[k]);
        ratios.push_back(t[1] / t[0]);
        silentRatios.push_back(t[2] / t[0]);
        designRatios.push_back(t[3] / t[0]);
        ownRatios.push_back(t[1] / t[3]);
        out << QStringLiteral("  run %1: window %2 ms, without the dialog %3 ms, bare %4 ms, "
                              "bare with a text per row %5 ms, set-based %6 ms, longest pause "
                              "of the window's event loop %7 ms\n")
                   .arg(run)
                   .arg(t[1], 0, 'f', 1)
                   .arg(t[2], 0, 'f', 1)
                   .arg(t[0], 0, 'f', 1)
                   .arg(t[3], 0, 'f', 1)
                   .arg(t[4], 0, 'f', 1)
                   .arg(runPause, 0, 'f', 1);
        out.flush();
    }
    return {Fastest(times[1]),    Fastest(times[2]),
            Fastest(times[0]),    Fastest(times[3]),
            Fastest(times[4]),    Median(ratios),
            Median(silentRatios), Median(designRatios),
            Median(ownRatios),    pause};
}

} // namespace

int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("回存 of 10,000 products against a bare loop."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("products"), QStringLiteral("Products written back (10000)."),
         QStringLiteral("n"), QStringLiteral("10000")},
        {QStringLiteral("runs"), QStringLiteral("Measured runs (5)."), QStringLiteral("n"),
         QStringLiteral("5")},
        {QStringLiteral("dir"), QStringLiteral("Folder of the databases."),
         QStringLiteral("folder")},
        {QStringLiteral("backend"), QStringLiteral("firebird or sqlite (default: both)."),
         QStringLiteral("name")},
        {QStringLiteral("no-forced-writes"),
         QStringLiteral("Firebird database without forced writes.")},
        {QStringLiteral("server"), QStringLiteral("Firebird through the server on this host."),
         QStringLiteral("host")},
    });
    parser.process(application);
    const int products = parser.value(QStringLiteral("products")).toInt();
    const int runs = std::max(1, parser.value(QStringLiteral("runs")).toInt());

    QTemporaryDir temporary;
    const QString folder = parser.isSet(QStringLiteral("dir")) ? parser.value(QStringLiteral("dir"))
                                                               : temporary.path();
    QDir().mkpath(folder);
    // The user's own settings stay as they are.
    QTemporaryDir home;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home.path());

    QTextStream out(stdout);
    out << QStringLiteral("回存 of %1 products, %2 runs\n").arg(products).arg(runs);
    const QString only = parser.value(QStringLiteral("backend"));
    for (const TDbBackend backend : {TDbBackend::Firebird, TDbBackend::SQLite}) {
        const bool firebird = backend == TDbBackend::Firebird;
        if (!only.isEmpty() &&
            only != (firebird ? QLatin1String("firebird") : QLatin1String("sqlite")))
            continue;
        TDbOptions options;
        options.Backend = backend;
        options.Products = products;
        options.Force = true;
        options.ForcedWrites = !parser.isSet(QStringLiteral("no-forced-writes"));
        options.Database = QDir(folder).filePath(firebird ? QStringLiteral("writeback.fdb")
                                                          : QStringLiteral("writeback.db"));
        const QString server = parser.value(QStringLiteral("server"));
        if (firebird && !server.isEmpty())
            options.Database = server + QLatin1Char(':') + options.Database;
        try {
            TDbMaker(options).Make();
            out << (firebird ? (server.isEmpty() ? QStringLiteral("embedded Firebird")
                                                 : QStringLiteral("Firebird server on ") + server)
                             : QStringLiteral("SQLite"))
                << (firebird && !options.ForcedWrites ? QStringLiteral(", no forced writes")
                                                      : QString())
                << ":\n";
            out.flush();
            const Figures f = Measure(options, folder, runs, out);
            out << QStringLiteral("  fastest: window %1 ms (%2 ms/row), without the dialog %3 ms, "
                                  "bare loop %4 ms (%5 ms/row), bare with a text per row %6 ms\n"
                                  "  medians of the runs: window / bare loop %7 (goal <= 1.15), "
                                  "without the dialog %8; bare with a text per row / bare loop "
                                  "%9; window / bare with a text per row %10\n"
                                  "  set-based UPDATE of the same rows: %11 ms (%12x faster than "
                                  "the window)\n"
                                  "  %13 products: longest pause of the window's event loop "
                                  "%14 ms (goal < 100), ratio %7\n")
                       .arg(f.Window, 0, 'f', 1)
                       .arg(f.Window / products, 0, 'f', 3)
                       .arg(f.Silent, 0, 'f', 1)
                       .arg(f.Bare, 0, 'f', 1)
                       .arg(f.Bare / products, 0, 'f', 3)
                       .arg(f.PerRow, 0, 'f', 1)
                       .arg(f.Ratio, 0, 'f', 3)
                       .arg(f.SilentRatio, 0, 'f', 3)
                       .arg(f.DesignRatio, 0, 'f', 3)
                       .arg(f.OwnRatio, 0, 'f', 3)
                       .arg(f.SetBased, 0, 'f', 1)
                       .arg(f.Window / f.SetBased, 0, 'f', 0)
                       .arg(products)
                       .arg(f.Pause, 0, 'f', 1);
            out.flush();
        } catch (const std::exception& error) {
            out << "  failed: " << QString::fromUtf8(error.what()) << "\n";
            return 1;
        }
    }
    return 0;
}
