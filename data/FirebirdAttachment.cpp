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

void FirebirdAttachment::Fail(const ISC_STATUS* status) const
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (Api->fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines.append(Codec ? Codec->ToString(QByteArrayView(buffer, qstrlen(buffer)))
                           : QString::fromLocal8Bit(buffer));
    throw ESQLError(lines.join(QLatin1Char('\n')), int(status[1]));
}
