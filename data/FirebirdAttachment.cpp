#include "FirebirdAttachment.h"

#include "Exceptions.h"

#include <QStringList>

FirebirdAttachment::~FirebirdAttachment()
{
    if (Db) {
        ISC_STATUS_ARRAY status;
        Api->isc_detach_database(status, &Db);
    }
}

namespace
{

// True when a code of the status vector says the server can't be reached.
bool ConnectionLost(const ISC_STATUS* status)
{
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        const ISC_STATUS type = *p++;
        if (type == isc_arg_gds) {
            switch (*p) {
            case isc_network_error:
            case isc_net_read_err:
            case isc_net_write_err:
            case isc_lost_db_connection:
            case isc_conn_lost:
            case isc_att_shutdown:
            case isc_shutdown:
                return true;
            default:
                break;
            }
        }
        p += type == isc_arg_cstring ? 2 : 1;
    }
    return false;
}

// True when the engine refused the statement for another transaction's
// concurrent change of the same row.
bool Conflict(const ISC_STATUS* status)
{
    for (const ISC_STATUS* p = status; *p != isc_arg_end;) {
        const ISC_STATUS type = *p++;
        if (type == isc_arg_gds && (*p == isc_deadlock || *p == isc_update_conflict)) return true;
        p += type == isc_arg_cstring ? 2 : 1;
    }
    return false;
}

} // namespace

void FirebirdAttachment::Fail(const ISC_STATUS* status) const
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (Api->fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines.append(Codec ? Codec->ToString(QByteArrayView(buffer, qstrlen(buffer)))
                           : QString::fromLocal8Bit(buffer));
    const QString message = lines.join(QLatin1Char('\n'));
    if (ConnectionLost(status)) throw ESQLConnectionLost(message, int(status[1]));
    if (Conflict(status)) throw ESQLConflict(message, int(status[1]));
    throw ESQLError(message, int(status[1]));
}
