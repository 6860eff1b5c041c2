#pragma once

#include "FirebirdAttachment.h"
#include "TSQLDriver.h"

#include <vector>

// One statement in its own transaction: a write runs read committed without
// record versions, waiting for locks or not as the connection says; a read is
// read-only, read committed with record versions. Commit() ends
// both; EndTransaction() commits but keeps the statement prepared, so it can
// run again in a transaction of its own. A statement destroyed with its
// transaction open rolls it back.
class FirebirdStatement
{
public:
    enum class TKind { Write, Read };

    FirebirdStatement(std::shared_ptr<const FirebirdAttachment> attachment, TKind kind);
    ~FirebirdStatement();
    FirebirdStatement(const FirebirdStatement&) = delete;
    FirebirdStatement& operator=(const FirebirdStatement&) = delete;

    // Starts the transaction and prepares sql, '?' for each parameter.
    void Prepare(const QString& sql);
    // Converts every value to the type described for its parameter, strictly,
    // then runs the statement, in a new transaction after EndTransaction().
    // Nothing runs when a value is refused.
    void Execute(const QList<TSQLParamValue>& params);
    // Closes the rows of the last run and runs the query again with other
    // values, in the same transaction.
    void Rerun(const QList<TSQLParamValue>& params);

    // True for a statement that returns rows.
    bool IsQuery() const;
    // The rows the last Execute() inserted, updated or deleted.
    int RowsAffected() const;
    // The described columns; a cursor points their data at its buffers.
    XSQLDA& Output() { return *reinterpret_cast<XSQLDA*>(FOutput.data()); }
    const FirebirdAttachment& Attachment() const { return *FAttachment; }

    // Fetches a row into Output(); false past the last one.
    bool Fetch();
    void Commit();
    void EndTransaction();

private:
    void BeginTransaction();
    void Describe(std::vector<char>& storage, bool input);
    void BindText(int index, XSQLVAR& var, const QString& text);
    void BindNumber(int index, XSQLVAR& var, const QString& text);

    std::shared_ptr<const FirebirdAttachment> FAttachment;
    TKind FKind;
    isc_tr_handle FTransaction = 0;
    isc_stmt_handle FStatement = 0;
    int FType = 0;
    std::vector<char> FOutput;
    std::vector<char> FInputDescribed;
    std::vector<char> FInput;
    std::vector<QByteArray> FInputData;
    std::vector<short> FInputNull;
};
