#include "Big5Iconv.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

namespace
{

// One converter per direction and thread: opening one costs far more than a
// short conversion.
class TIconv
{
public:
    TIconv(const char* to, const char* from) : FHandle(iconv_open(to, from))
    {
        if (FHandle == reinterpret_cast<iconv_t>(-1))
            throw std::runtime_error(std::string("iconv can't convert ") + from + " to " + to);
    }
    ~TIconv() { iconv_close(FHandle); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // False when the input holds a sequence the target can't take.
    bool Convert(QByteArrayView in, QByteArray& out)
    {
        iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
        out.resize(in.size() * 2 + 4);
        char* src = const_cast<char*>(in.data());
        size_t srcLeft = in.size();
        char* dst = out.data();
        size_t dstLeft = out.size();
        if (iconv(FHandle, &src, &srcLeft, &dst, &dstLeft) == size_t(-1)) return false;
        out.resize(out.size() - dstLeft);
        return true;
    }

private:
    iconv_t FHandle;
};

} // namespace

QByteArray TBig5Iconv::Encode(QStringView text)
{
    thread_local TIconv encoder("CP950", "UTF-8");
    const QByteArray utf8 = text.toUtf8();
    bool ascii = true;
    for (char c : utf8)
        ascii = ascii && uchar(c) < 0x80;
    if (ascii) return utf8;
    QByteArray out;
    if (!encoder.Convert(utf8, out))
        throw std::runtime_error("Text has a character that Big5 can't hold: " +
                                 utf8.toStdString());
    return out;
}

QString TBig5Iconv::Decode(QByteArrayView bytes)
{
    thread_local TIconv decoder("UTF-8", "CP950");
    QByteArray out;
    if (!decoder.Convert(bytes, out))
        throw std::runtime_error("Text is not valid Big5: " +
                                 bytes.toByteArray().toHex().toStdString());
    return QString::fromUtf8(out);
}

int TBig5Iconv::ByteLength(QStringView text)
{
    int bytes = 0;
    for (QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : 2;
    return bytes;
}

QString TBig5Iconv::Fit(const QString& text, int maxBytes)
{
    int bytes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        bytes += text.at(i).unicode() < 0x80 ? 1 : 2;
        if (bytes > maxBytes) return text.left(i);
    }
    return text;
}
