#include "Big5Text.h"

namespace
{
// Code page 950 holds U+0080 in the single byte 0x80, as it holds ASCII.
int CharBytes(QChar c)
{
    return c.unicode() <= 0x80 ? 1 : 2;
}
} // namespace

int Big5ByteLength(const QString& text)
{
    int bytes = 0;
    for (QChar c : text)
        bytes += c.isLowSurrogate() ? 0 : CharBytes(c);
    return bytes;
}

QString Big5Truncate(const QString& text, int size)
{
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isLowSurrogate()) continue;
        bytes += CharBytes(c);
        if (bytes > size) return text.left(i);
    }
    return text;
}
