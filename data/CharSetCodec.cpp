#include "CharSetCodec.h"

#include "Big5Codec.h"
#include "Exceptions.h"

#include <QList>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace
{

struct IconvName {
    const char* Firebird;
    const char* Iconv;
};

// Firebird's names of the single- and multi-byte sets that glibc converts.
constexpr IconvName IconvNames[] = {
    {"ASCII", "ASCII"},          {"ISO8859_1", "ISO-8859-1"},   {"ISO8859_2", "ISO-8859-2"},
    {"ISO8859_3", "ISO-8859-3"}, {"ISO8859_4", "ISO-8859-4"},   {"ISO8859_5", "ISO-8859-5"},
    {"ISO8859_6", "ISO-8859-6"}, {"ISO8859_7", "ISO-8859-7"},   {"ISO8859_8", "ISO-8859-8"},
    {"ISO8859_9", "ISO-8859-9"}, {"ISO8859_13", "ISO-8859-13"}, {"WIN1250", "CP1250"},
    {"WIN1251", "CP1251"},       {"WIN1252", "CP1252"},         {"WIN1253", "CP1253"},
    {"WIN1254", "CP1254"},       {"WIN1255", "CP1255"},         {"WIN1256", "CP1256"},
    {"WIN1257", "CP1257"},       {"WIN1258", "CP1258"},         {"DOS437", "CP437"},
    {"DOS850", "CP850"},         {"DOS852", "CP852"},           {"DOS866", "CP866"},
    {"KOI8R", "KOI8-R"},         {"KOI8U", "KOI8-U"},           {"GBK", "GBK"},
    {"GB_2312", "GB2312"},       {"GB18030", "GB18030"},        {"SJIS_0208", "SHIFT_JIS"},
    {"EUCJ_0208", "EUC-JP"},     {"KSC_5601", "CP949"},         {"CP943C", "CP943"},
    {"TIS620", "TIS-620"},
};

} // namespace

std::shared_ptr<const CharSetCodec> CharSetCodec::ForName(const QString& serverCharSet)
{
    const QString name = serverCharSet.trimmed().toUpper();
    if (name.isEmpty() || name == QLatin1String("BIG_5"))
        return std::shared_ptr<const CharSetCodec>(
            new CharSetCodec(Kind::Big5, QStringLiteral("BIG_5"), {}));
    if (name == QLatin1String("NONE"))
        return std::shared_ptr<const CharSetCodec>(new CharSetCodec(Kind::Big5, name, {}));
    if (name == QLatin1String("UTF8") || name == QLatin1String("UNICODE_FSS"))
        return std::shared_ptr<const CharSetCodec>(new CharSetCodec(Kind::Utf8, name, {}));
    for (const IconvName& n : IconvNames)
        if (name == QLatin1String(n.Firebird))
            return std::shared_ptr<const CharSetCodec>(
                new CharSetCodec(Kind::Iconv, name, QByteArray(n.Iconv)));
    throw EDatabaseError(QStringLiteral("Unsupported ServerCharSet '%1'").arg(serverCharSet));
}

CharSetCodec::CharSetCodec(Kind kind, QString connectionName, QByteArray iconvName)
    : FKind(kind), FConnectionName(std::move(connectionName)), FIconvName(std::move(iconvName))
{
    if (FKind != Kind::Iconv) return;
    iconv_t to = iconv_open("UTF-8", FIconvName.constData());
    iconv_t from = iconv_open(FIconvName.constData(), "UTF-8");
    if (to == iconv_t(-1) || from == iconv_t(-1)) {
        if (to != iconv_t(-1)) iconv_close(to);
        if (from != iconv_t(-1)) iconv_close(from);
        throw EDatabaseError(QStringLiteral("Unsupported ServerCharSet '%1'").arg(FConnectionName));
    }
    FToUtf8 = to;
    FFromUtf8 = from;
}

CharSetCodec::~CharSetCodec()
{
    if (FToUtf8) iconv_close(iconv_t(FToUtf8));
    if (FFromUtf8) iconv_close(iconv_t(FFromUtf8));
}

QByteArrayView CharSetCodec::Decode(const char* src, qsizetype len, char* dst) const
{
    if (FKind == Kind::Utf8) return QByteArrayView(src, len);
    const qsizetype ascii = AsciiPrefixLength(src, len);
    if (ascii == len) return QByteArrayView(src, len);
    std::memcpy(dst, src, ascii);
    const qsizetype rest = FKind == Kind::Big5
                               ? Big5Codec::DecodeToUtf8(src + ascii, len - ascii, dst + ascii)
                               : IconvDecode(src + ascii, len - ascii, dst + ascii);
    return QByteArrayView(dst, ascii + rest);
}

qsizetype CharSetCodec::IconvDecode(const char* src, qsizetype len, char* dst) const
{
    auto cd = iconv_t(FToUtf8);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* ip = const_cast<char*>(src);
    char* op = dst;
    size_t il = size_t(len), ol = size_t(len) * 4;
    while (il > 0) {
        if (iconv(cd, &ip, &il, &op, &ol) != size_t(-1)) break;
        if (ol < 3) break;
        // A byte the set doesn't define: show it as U+FFFD and go on.
        std::memcpy(op, "\xEF\xBF\xBD", 3);
        op += 3;
        ol -= 3;
        ++ip;
        --il;
    }
    return op - dst;
}

QString CharSetCodec::ToString(QByteArrayView bytes) const
{
    QByteArray buffer(bytes.size() * 4, Qt::Uninitialized);
    return QString::fromUtf8(Decode(bytes.data(), bytes.size(), buffer.data()));
}

bool CharSetCodec::Encode(QStringView text, QByteArray& out, char32_t& badChar) const
{
    if (FKind == Kind::Big5) return Big5Codec::Encode(text, out, badChar);

    // A lone surrogate is no character of any set.
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate()) {
            badChar = c.unicode();
            return false;
        }
    }
    const QByteArray utf8 = text.toUtf8();
    if (FKind == Kind::Utf8) {
        out += utf8;
        return true;
    }

    auto cd = iconv_t(FFromUtf8);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    QByteArray buffer(utf8.size() * 4 + 16, Qt::Uninitialized);
    char* ip = const_cast<char*>(utf8.constData());
    char* op = buffer.data();
    size_t il = size_t(utf8.size()), ol = size_t(buffer.size());
    if (iconv(cd, &ip, &il, &op, &ol) == size_t(-1)) {
        const QString rest = QString::fromUtf8(ip, qsizetype(il));
        badChar = rest.isEmpty() ? U'\uFFFD' : rest.toUcs4().value(0);
        return false;
    }
    out.append(buffer.constData(), op - buffer.constData());
    return true;
}

QString CharSetCodec::CannotHold(char32_t badChar) const
{
    const QString hex = QString::number(uint(badChar), 16).toUpper();
    return QStringLiteral("character '%1' (U+%2) can't be written in character set %3")
        .arg(QString::fromUcs4(&badChar, 1), hex.rightJustified(4, QLatin1Char('0')),
             FConnectionName);
}
