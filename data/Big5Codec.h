#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QStringView>
#include <QtGlobal>
#include <cstring>
#include <string>

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

    // Appends the key under which UTF-8 text sorts in Big5 order, for memcmp
    // with a shorter key first: byte 0 and the CP950 bytes when the code page
    // holds every character; otherwise byte 1 and the UTF-8 bytes, so that
    // text outside Big5 follows all Big5 text, in code point order.
    static void AppendSortKey(QByteArrayView utf8, std::string& out);
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
