#include "Big5Codec.h"

#include <array>
#include <cstring>
#include <iconv.h>
#include <memory>

namespace
{

struct Utf8Char {
    unsigned char Length = 0; // 0: no character
    char Bytes[3] = {};
};

constexpr int LeadFirst = 0x81;
constexpr int LeadCount = 0xFE - LeadFirst + 1;

bool IsTrail(unsigned char b)
{
    return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE);
}

Utf8Char ToUtf8(char32_t c)
{
    Utf8Char u;
    if (c < 0x80) {
        u.Length = 1;
        u.Bytes[0] = char(c);
    } else if (c < 0x800) {
        u.Length = 2;
        u.Bytes[0] = char(0xC0 | (c >> 6));
        u.Bytes[1] = char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        u.Length = 3;
        u.Bytes[0] = char(0xE0 | (c >> 12));
        u.Bytes[1] = char(0x80 | ((c >> 6) & 0x3F));
        u.Bytes[2] = char(0x80 | (c & 0x3F));
    }
    return u;
}

struct Tables {
    std::array<Utf8Char, 256> Single;              // bytes 0x80..0xFF standing alone
    std::array<Utf8Char, LeadCount * 256> Pair;    // [lead - 0x81][trail]
    std::array<quint16, 0x10000> FromUnicode = {}; // 0: not in CP950
};

// One code point from bytes, or 0 when iconv refuses them.
char32_t Convert(iconv_t cd, const char* in, size_t inLen)
{
    char32_t out[2] = {};
    char* ip = const_cast<char*>(in);
    char* op = reinterpret_cast<char*>(out);
    size_t il = inLen, ol = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &ip, &il, &op, &ol) == size_t(-1) || il != 0 || ol != sizeof(char32_t)) return 0;
    return out[0];
}

std::unique_ptr<Tables> BuildTables()
{
    auto t = std::make_unique<Tables>();
    iconv_t toUnicode = iconv_open("UTF-32LE", "CP950");
    iconv_t fromUnicode = iconv_open("CP950", "UTF-32LE");
    if (toUnicode == iconv_t(-1) || fromUnicode == iconv_t(-1))
        qFatal("glibc iconv lacks code page CP950");

    for (int b = 0x80; b <= 0xFF; ++b) {
        const char byte = char(b);
        if (char32_t c = Convert(toUnicode, &byte, 1)) t->Single[b] = ToUtf8(c);
    }
    for (int lead = LeadFirst; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!IsTrail(trail)) continue;
            const char bytes[2] = {char(lead), char(trail)};
            if (char32_t c = Convert(toUnicode, bytes, 2))
                t->Pair[(lead - LeadFirst) * 256 + trail] = ToUtf8(c);
        }
    for (char32_t c = 0x80; c < 0x10000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;
        char* ip = reinterpret_cast<char*>(&c);
        unsigned char out[4] = {};
        char* op = reinterpret_cast<char*>(out);
        size_t il = sizeof c, ol = sizeof out;
        iconv(fromUnicode, nullptr, nullptr, nullptr, nullptr);
        if (iconv(fromUnicode, &ip, &il, &op, &ol) == size_t(-1) || il != 0) continue;
        const size_t n = sizeof out - ol;
        t->FromUnicode[c] = n == 1 ? out[0] : n == 2 ? quint16(out[0] << 8 | out[1]) : 0;
    }
    iconv_close(toUnicode);
    iconv_close(fromUnicode);
    return t;
}

const Tables& TheTables()
{
    static const std::unique_ptr<Tables> tables = BuildTables();
    return *tables;
}

} // namespace

qsizetype Big5Codec::DecodeToUtf8(const char* src, qsizetype len, char* dst)
{
    const Tables& t = TheTables();
    const auto* s = reinterpret_cast<const unsigned char*>(src);
    char* d = dst;
    qsizetype i = 0;
    while (i < len) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            *d++ = char(b);
            ++i;
            continue;
        }
        const Utf8Char* u = nullptr;
        qsizetype used = 1;
        if (b >= LeadFirst && b <= 0xFE && i + 1 < len && IsTrail(s[i + 1])) {
            u = &t.Pair[(b - LeadFirst) * 256 + s[i + 1]];
            used = 2;
        } else {
            u = &t.Single[b];
        }
        if (u->Length == 0) {
            std::memcpy(d, "\xEF\xBF\xBD", 3);
            d += 3;
        } else {
            std::memcpy(d, u->Bytes, 3);
            d += u->Length;
        }
        i += used;
    }
    return d - dst;
}

bool Big5Codec::Encode(QStringView text, QByteArray& out, char32_t& badChar)
{
    const Tables& t = TheTables();
    out.reserve(out.size() + text.size() * 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out.append(char(c));
            continue;
        }
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
            QChar::isLowSurrogate(text[i + 1].unicode())) {
            badChar = QChar::surrogateToUcs4(c, text[i + 1].unicode());
            return false;
        }
        const quint16 code = QChar::isSurrogate(c) ? 0 : t.FromUnicode[c];
        if (code == 0) {
            badChar = c;
            return false;
        }
        if (code > 0xFF) out.append(char(code >> 8));
        out.append(char(code & 0xFF));
    }
    return true;
}

void Big5Codec::AppendSortKey(QByteArrayView utf8, std::string& out)
{
    const Tables& t = TheTables();
    const std::size_t start = out.size();
    out.push_back('\0');
    const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
    const qsizetype n = utf8.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char b = s[i];
        if (b < 0x80) {
            out.push_back(char(b));
            ++i;
            continue;
        }
        // Text held as UTF-8 by this program is well formed; anything past
        // the basic plane is outside CP950.
        quint16 code = 0;
        if (b >= 0xC0 && b < 0xE0 && i + 1 < n) {
            code = t.FromUnicode[((b & 0x1F) << 6) | (s[i + 1] & 0x3F)];
            i += 2;
        } else if (b >= 0xE0 && b < 0xF0 && i + 2 < n) {
            code = t.FromUnicode[((b & 0x0F) << 12) | ((s[i + 1] & 0x3F) << 6) | (s[i + 2] & 0x3F)];
            i += 3;
        }
        if (code == 0) {
            out.resize(start);
            out.push_back('\1');
            out.append(utf8.data(), std::size_t(n));
            return;
        }
        if (code > 0xFF) out.push_back(char(code >> 8));
        out.push_back(char(code & 0xFF));
    }
}
