#pragma once

#include "CharSetCodec.h"
#include "FirebirdApi.h"

#include <QByteArray>
#include <memory>

// One attachment to a Firebird database and what its statements share. Held
// by the connection and by every open cursor, so a cursor stays valid after
// its connection has closed; detaches when the last holder lets go.
struct FirebirdAttachment {
    ~FirebirdAttachment();

    // Throws ESQLError with the engine's text for a failed call.
    [[noreturn]] void Fail(const ISC_STATUS* status) const;
    void Check(const ISC_STATUS* status) const
    {
        if (status[0] == 1 && status[1] != 0) Fail(status);
    }

    std::shared_ptr<const FirebirdApi> Api;
    // The connection's set, for statement text, metadata and messages.
    std::shared_ptr<const CharSetCodec> Codec;
    // The workstation's code page, for columns and parameters of set NONE.
    std::shared_ptr<const CharSetCodec> NoneCodec;
    isc_db_handle Db = 0;
    // Writes wait for a locked row or not, as WaitOnLocks says; reads see the
    // last committed version and never wait for another client's change.
    QByteArray WriteTransactionParams;
    QByteArray ReadTransactionParams;
    bool TrimChar = false;
};
