#pragma once

#include "DbOptions.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <ibase.h>
#include <optional>

// One attachment to a Firebird database over the ISC API, embedded for a
// path and through the server for host:path. Errors are std::runtime_error
// with the engine's text.
class TFbDatabase
{
public:
    // Attaches with the connection character set named after charset. Forced
    // writes, when given, become the database's setting.
    TFbDatabase(const QString& database, const QString& user, const QString& password,
                TDbCharset charset, std::optional<bool> forcedWrites = std::nullopt);
    // Rolls back an open transaction, then detaches.
    ~TFbDatabase();
    TFbDatabase(const TFbDatabase&) = delete;
    TFbDatabase& operator=(const TFbDatabase&) = delete;

    // Makes a database with that default character set; it is left detached.
    static void Create(const QString& database, const QString& user, const QString& password,
                       TDbCharset charset);
    // Drops the database, which must have no other attachment; this object is
    // detached afterwards.
    void Drop();

    // Without an open transaction, each statement runs in its own and commits.
    void StartTransaction();
    void Commit();
    void Rollback();

    void Execute(const QString& sql);
    QList<QVariantList> Query(const QString& sql);

    // Text as the connection's character set carries it.
    QByteArray EncodeText(QStringView text) const;
    QString DecodeText(QByteArrayView bytes) const;

    [[noreturn]] static void Fail(const ISC_STATUS* status, const QString& context);
    static void Check(const ISC_STATUS* status, const QString& context)
    {
        if (status[0] == 1 && status[1] != 0) Fail(status, context);
    }

private:
    friend class TFbStatement;

    isc_db_handle FHandle = 0;
    isc_tr_handle FTransaction = 0;
    TDbCharset FCharset;
};
