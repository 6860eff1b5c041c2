// The Big5 codec and the byte-size rules of text fields: decoding gives valid
// UTF-8, encoding round-trips, sizes agree with the encoding, and cutting
// keeps the longest prefix that fits without splitting a character.

#include "Big5Codec.h"
#include "Big5Text.h"
#include "FuzzCheck.h"

#include <QByteArray>

#include <cstdint>

namespace
{

QString Decode(const QByteArray& bytes)
{
    QByteArray utf8(bytes.size() * 3, Qt::Uninitialized);
    const qsizetype length = Big5Codec::DecodeToUtf8(bytes.constData(), bytes.size(), utf8.data());
    FUZZ_CHECK(length >= 0 && length <= bytes.size() * 3, QString::fromLatin1(bytes.toHex()));
    utf8.truncate(length);
    FUZZ_CHECK(QUtf8StringView(utf8).isValidUtf8(), QString::fromLatin1(bytes.toHex()));
    return QString::fromUtf8(utf8);
}

void CheckEncoding(const QString& text)
{
    QByteArray bytes;
    char32_t bad = 0;
    if (Big5Codec::Encode(text, bytes, bad)) {
        FUZZ_CHECK(Decode(bytes) == text, text);
        FUZZ_CHECK(Big5ByteLength(text) == bytes.size(), text);
    } else {
        FUZZ_CHECK(text.toUcs4().contains(bad), text);
    }
}

void CheckTruncate(const QString& text, int size)
{
    const QString cut = Big5Truncate(text, size);
    FUZZ_CHECK(text.startsWith(cut), text);
    FUZZ_CHECK(Big5ByteLength(cut) <= size || (size < 0 && cut.isEmpty()), text);
    if (cut.size() == text.size()) return;
    const qsizetype at = cut.size();
    FUZZ_CHECK(!(text[at].isLowSurrogate() && at > 0 && text[at - 1].isHighSurrogate()), text);
    // Longest: the next character (with its low surrogate) no longer fits.
    const qsizetype next = at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
    FUZZ_CHECK(Big5ByteLength(text.left(at + next)) > size, text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    qsizetype ascii = 0;
    while (ascii < bytes.size() && static_cast<unsigned char>(bytes[ascii]) < 0x80)
        ++ascii;
    FUZZ_CHECK(AsciiPrefixLength(bytes.constData(), bytes.size()) == ascii,
               QString::fromLatin1(bytes.toHex()));

    // The input as Big5 bytes, and as UTF-8 text.
    const QString decoded = Decode(bytes);
    CheckEncoding(decoded);
    const QString text = QString::fromUtf8(bytes);
    CheckEncoding(text);

    const int length = Big5ByteLength(text);
    for (int cut :
         {-1, 0, 1, 2, 3, length / 2, length - 1, length, length + 1, size > 0 ? int(data[0]) : 20})
        CheckTruncate(text, cut);
    return 0;
}
