#pragma once

#include <QByteArray>
#include <QStringView>
#include <QtGlobal>
#include <cstring>

// Code page 950 (Big5 with its extensions), as glibc's iconv "CP950" defines
// it, held in two tables built once per process: fetching converts every text
// value, so a table lookup per character beats an iconv call per value.
class Big5Codec
{
public:
    // Decodes len bytes into dst, which holds at least 3 * len bytes, as UTF-8;
    // returns the length written. Bytes that are no CP950 character become
    // U+FFFD.
    static qsizetype DecodeToUtf8(const char* src, qsizetype len, char* dst);

    // Appends the CP950 bytes of text to out. Returns false, with badChar set
    // to the first character that CP950 does not hold, when there is one.
    static bool Encode(QStringView text, QByteArray& out, char32_t& badChar);
};

// How many of the len bytes at src, from the start, are 7-bit: text up to
// there needs no decoding. Looks at eight bytes at a time.
inline qsizetype AsciiPrefixLength(const char* src, qsizetype len)
{
    qsizetype i = 0;
    for (; i + 8 <= len; i += 8) {
        quint64 word;
        std::memcpy(&word, src + i, 8);
        if (word & 0x8080808080808080ULL) break;
    }
    while (i < len && static_cast<unsigned char>(src[i]) < 0x80)
        ++i;
    return i;
}
