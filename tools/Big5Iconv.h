#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Big5 (code page 950) text, as the shop databases hold it, converted by
// glibc iconv.
class TBig5Iconv
{
public:
    // Fails with std::runtime_error when a character has no Big5 code, so
    // nothing is ever written as "?".
    static QByteArray Encode(QStringView text);
    static QString Decode(QByteArrayView bytes);

    // Bytes that Encode() would give, counting every non-ASCII character as two.
    static int ByteLength(QStringView text);
    // The longest head of text that takes at most maxBytes, never half a character.
    static QString Fit(const QString& text, int maxBytes);
};
