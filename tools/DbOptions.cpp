#include "DbOptions.h"

QString CharsetName(TDbCharset charset)
{
    switch (charset) {
    case TDbCharset::Big5:
        return QStringLiteral("BIG_5");
    case TDbCharset::None:
        return QStringLiteral("NONE");
    case TDbCharset::Utf8:
        return QStringLiteral("UTF8");
    }
    return {};
}

bool IsServerDatabase(const QString& database)
{
    // "host:/path" names a server; a local path starts with the root.
    return !database.startsWith(QLatin1Char('/')) && database.contains(QLatin1Char(':'));
}
