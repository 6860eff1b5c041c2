#include "FirebirdDriver.h"

#include "DriverParams.h"
#include "Exceptions.h"
#include "FirebirdApi.h"
#include "FirebirdAttachment.h"
#include "FirebirdCursor.h"
#include "FirebirdStatement.h"
#include "TKeptStatement.h"

#include <QFile>
#include <array>
#include <csignal>
#include <mutex>
#include <pthread.h>

namespace
{

// The client library puts in SIGINT and SIGTERM handlers of its own in its
// first attach. Such a signal then wakes a thread of the library that runs
// fb_shutdown; as the program ends on that signal, the thread may still be
// in there when the exit tears the library down under it, and the process
// dies of SIGSEGV instead of ending with 0. So the handlers in force before
// an attach come back after it; meanwhile these signals wait, blocked in the
// attaching thread and so in the threads the library starts from it.
class TKeptSignalHandlers
{
public:
    TKeptSignalHandlers() : FLock(Mutex())
    {
        sigset_t blocked;
        sigemptyset(&blocked);
        for (const int signal : Signals)
            sigaddset(&blocked, signal);
        pthread_sigmask(SIG_BLOCK, &blocked, &FMask);
        for (std::size_t i = 0; i < Signals.size(); ++i)
            ::sigaction(Signals[i], nullptr, &FActions[i]);
    }
    ~TKeptSignalHandlers()
    {
        for (std::size_t i = 0; i < Signals.size(); ++i)
            ::sigaction(Signals[i], &FActions[i], nullptr);
        // A signal that came meanwhile goes to the handler now in force.
        pthread_sigmask(SIG_SETMASK, &FMask, nullptr);
    }
    TKeptSignalHandlers(const TKeptSignalHandlers&) = delete;
    TKeptSignalHandlers& operator=(const TKeptSignalHandlers&) = delete;

private:
    static constexpr std::array<int, 3> Signals{SIGINT, SIGTERM, SIGHUP};
    // Two attaches at once would each keep what the other one's library put in.
    static std::mutex& Mutex()
    {
        static std::mutex mutex;
        return mutex;
    }

    std::lock_guard<std::mutex> FLock;
    sigset_t FMask;
    std::array<struct sigaction, Signals.size()> FActions;
};

class FirebirdConnection final : public TSQLDriverConnection
{
public:
    explicit FirebirdConnection(std::shared_ptr<const FirebirdAttachment> attachment)
        : FAttachment(std::move(attachment))
    {
    }

    std::unique_ptr<TSQLCursor> Open(const QString& sql,
                                     const QList<TSQLParamValue>& params) override
    {
        return OpenBatches(sql, {params});
    }

    std::unique_ptr<TSQLCursor> OpenBatches(const QString& sql,
                                            const TSQLParamBatches& batches) override
    {
        auto statement =
            std::make_unique<FirebirdStatement>(FAttachment, FirebirdStatement::TKind::Read);
        statement->Prepare(sql);
        statement->Execute(batches.value(0));
        return std::make_unique<FirebirdCursor>(std::move(statement), batches.mid(1));
    }

    int Execute(const QString& sql, const QList<TSQLParamValue>& params, TRowCount count) override
    {
        const auto changedBy = [count](const FirebirdStatement& statement) {
            return count == TRowCount::Counted ? statement.RowsAffected() : -1;
        };
        if (!FKept.On()) {
            FirebirdStatement statement(FAttachment, FirebirdStatement::TKind::Write);
            statement.Prepare(sql);
            statement.Execute(params);
            const int changed = changedBy(statement);
            statement.Commit();
            return changed;
        }
        int changed = 0;
        FKept.Run(
            sql,
            [&] {
                auto statement = std::make_unique<FirebirdStatement>(
                    FAttachment, FirebirdStatement::TKind::Write);
                statement->Prepare(sql);
                return statement;
            },
            [&](FirebirdStatement& statement, bool) {
                statement.Execute(params);
                changed = changedBy(statement);
                statement.EndTransaction();
            });
        return changed;
    }

    void SetReuseStatements(bool value) override { FKept.SetOn(value); }

    void Cancel() override
    {
        // The engine answers "nothing to cancel" when no statement runs.
        ISC_STATUS_ARRAY status;
        auto db = const_cast<isc_db_handle*>(&FAttachment->Db);
        FAttachment->Api->fb_cancel_operation(status, db, fb_cancel_raise);
    }

private:
    std::shared_ptr<const FirebirdAttachment> FAttachment;
    TKeptStatement<FirebirdStatement> FKept;
};

void AddParam(QByteArray& block, char tag, const QByteArray& value)
{
    if (value.size() > 255)
        throw EDatabaseError(
            QStringLiteral("Connection parameter too long: %1").arg(QString::fromUtf8(value)));
    block += tag;
    block += char(value.size());
    block += value;
}

QByteArray WriteTransactionParams(bool waitOnLocks)
{
    const char params[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_read_committed,
                           isc_tpb_no_rec_version,
                           char(waitOnLocks ? isc_tpb_wait : isc_tpb_nowait)};
    return QByteArray(params, sizeof params);
}

// With no record versions a SELECT would wait for every row another client
// holds changed; with them it reads the last committed version instead.
QByteArray ReadTransactionParams()
{
    const char params[] = {isc_tpb_version3, isc_tpb_read, isc_tpb_read_committed,
                           isc_tpb_rec_version};
    return QByteArray(params, sizeof params);
}

} // namespace

void FirebirdDriver::Load(const QString& vendorLib, const QString& getDriverFunc)
{
    FApi = FirebirdApi::Load(vendorLib, getDriverFunc);
}

std::unique_ptr<TSQLDriverConnection> FirebirdDriver::Connect(const QMap<QString, QString>& params)
{
    const QString database = DriverParam(params, QLatin1String("Database")).trimmed();
    if (database.isEmpty()) throw EDatabaseError(QStringLiteral("Missing Database property"));
    const QString dialect = DriverParam(params, QLatin1String("SQLDialect")).trimmed();
    if (!dialect.isEmpty() && dialect != QLatin1String("3"))
        throw EDatabaseError(
            QStringLiteral("SQLDialect %1 is not supported: only dialect 3 is").arg(dialect));

    auto attachment = std::make_shared<FirebirdAttachment>();
    attachment->Api = FApi;
    attachment->Codec = CharSetCodec::ForName(DriverParam(params, QLatin1String("ServerCharSet")));
    attachment->NoneCodec = CharSetCodec::ForName(QString());
    attachment->WriteTransactionParams =
        WriteTransactionParams(DriverParamIsTrue(params, QLatin1String("WaitOnLocks")));
    attachment->ReadTransactionParams = ReadTransactionParams();
    attachment->TrimChar = DriverParamIsTrue(params, QLatin1String("Trim Char"));

    QByteArray dpb(1, char(isc_dpb_version1));
    AddParam(dpb, isc_dpb_user_name, DriverParam(params, QLatin1String("User_Name")).toUtf8());
    const QString password = DriverParam(params, QLatin1String("Password"));
    if (!password.isEmpty()) AddParam(dpb, isc_dpb_password, password.toUtf8());
    const QString role = DriverParam(params, QLatin1String("RoleName")).trimmed();
    if (!role.isEmpty()) AddParam(dpb, isc_dpb_sql_role_name, role.toUtf8());
    AddParam(dpb, isc_dpb_lc_ctype, attachment->Codec->ConnectionName().toLatin1());
    AddParam(dpb, isc_dpb_sql_dialect, QByteArray("\x03\0\0\0", 4));

    ISC_STATUS_ARRAY status;
    const QByteArray path = QFile::encodeName(database);
    {
        const TKeptSignalHandlers keptSignalHandlers;
        FApi->isc_attach_database(status, 0, path.constData(), &attachment->Db, short(dpb.size()),
                                  dpb.constData());
    }
    attachment->Check(status);
    return std::make_unique<FirebirdConnection>(std::move(attachment));
}
