#pragma once

#include <QString>
#include <memory>

// The one statement a connection keeps prepared while reuse is on (see
// TSQLDriverConnection::SetReuseStatements): kept by its text, let go when
// reuse ends and after a failed run, so a failure leaves nothing open.
template <typename TStatement> class TKeptStatement
{
public:
    bool On() const { return FOn; }
    void SetOn(bool value)
    {
        FOn = value;
        if (!value) FStatement.reset();
    }

    // Runs the kept statement when its text is sql, else the one prepare()
    // makes, which is kept from then on. run(statement, fresh) executes it;
    // fresh is true for a statement prepare() has just made.
    template <typename TPrepare, typename TRun>
    void Run(const QString& sql, TPrepare&& prepare, TRun&& run)
    {
        try {
            const bool fresh = !FStatement || FText != sql;
            if (fresh) {
                FStatement.reset();
                FStatement = prepare();
                FText = sql;
            }
            run(*FStatement, fresh);
        } catch (...) {
            FStatement.reset();
            throw;
        }
    }

private:
    bool FOn = false;
    std::unique_ptr<TStatement> FStatement;
    QString FText;
};
