#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <ibase.h>
#include <memory>

class TFbDatabase;

// A prepared DSQL statement of one attachment. It runs in the attachment's
// open transaction, which must exist while the statement executes or fetches.
class TFbStatement
{
public:
    TFbStatement(TFbDatabase& database, const QString& sql);
    ~TFbStatement();
    TFbStatement(const TFbStatement&) = delete;
    TFbStatement& operator=(const TFbStatement&) = delete;

    int ParamCount() const;
    // Values are handed over in their own type; the engine converts them to
    // the parameter's type and refuses what does not fit.
    void SetNull(int index);
    void SetInteger(int index, qint64 value);
    void SetFloat(int index, double value);
    void SetText(int index, QStringView value);

    // Runs the statement; a SELECT then delivers its rows through Fetch().
    void Execute();
    int ColumnCount() const;
    bool Fetch();
    QVariant Value(int column);

private:
    struct TBuffer {
        QByteArray Data;
        short Null = 0;
    };

    void Describe(const QString& sql);
    XSQLVAR& Param(int index);
    QVariant ReadBlob(const ISC_QUAD& id, bool text);

    TFbDatabase& FDatabase;
    isc_stmt_handle FHandle = 0;
    std::unique_ptr<char[]> FInput;
    std::unique_ptr<char[]> FOutput;
    QList<TBuffer> FInputBuffers;
    QList<TBuffer> FOutputBuffers;
    bool FHasCursor = false;
};
