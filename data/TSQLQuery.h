#pragma once

#include "TParam.h"
#include "TSQLConnection.h"
#include "TStringList.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <vector>

// A SQL command: lines of text with named parameters (":name"), executed
// prepared on a connection. The statement is the lines joined by line breaks.
// The parameter list is rebuilt whenever the lines change; a parameter whose
// name is still in the text keeps its value. A name used twice in the text is
// one parameter, bound at both places. Names compare without regard to case.
class TSQLQuery : public QObject
{
    Q_OBJECT

public:
    explicit TSQLQuery(QObject* owner = nullptr);
    ~TSQLQuery() override;

    TSQLConnection* SQLConnection() const { return FConnection; }
    void SetSQLConnection(TSQLConnection* value) { FConnection = value; }
    TStringList& SQL() { return FSQL; }
    const TStringList& SQL() const { return FSQL; }

    int ParamCount() const { return int(FParams.size()); }
    TParam& Params(int index) { return *FParams[index]; }
    TParam* FindParam(const QString& name) const;
    // Fails with "Parameter '%s' not found", prefixed with the query's name.
    TParam& ParamByName(const QString& name);

    // The text that goes to the database: a '?' for each parameter.
    const QString& PreparedText() const { return FPrepared; }

    // A command holds no rows: there is nothing to close but the name.
    void Close() {}
    // Runs the statement once; it commits on its own. Fails, before anything
    // runs, with "No value for parameter '%s'" for a parameter never set and
    // with "Invalid value for parameter '%s': ..." for a value the statement
    // can't take.
    void ExecSQL();
    // The rows that the last ExecSQL inserted, updated or deleted; 0 before
    // the first and after one that failed, -1 after one uncounted.
    int RowsAffected() const { return FRowsAffected; }
    // Whether ExecSQL counts the rows (on by default): on a server, the count
    // is a round trip of its own.
    bool CountRows() const { return FCountRows; }
    void SetCountRows(bool value) { FCountRows = value; }

private:
    void SQLChanged();

    QPointer<TSQLConnection> FConnection;
    TStringList FSQL;
    std::vector<std::unique_ptr<TParam>> FParams;
    QString FPrepared;
    QStringList FOccurrences;
    int FRowsAffected = 0;
    bool FCountRows = true;
};
