#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>

// The character set of a connection, by its Firebird name, and the
// conversions between it and the program's text. An empty name is the
// workstation's code page, Big5 (code page 950); so is NONE, whose bytes the
// database passes through unchanged.
class CharSetCodec
{
public:
    // Fails with EDatabaseError for a set the program can't convert.
    static std::shared_ptr<const CharSetCodec> ForName(const QString& serverCharSet);
    ~CharSetCodec();

    // The set as the connection asks for it (lc_ctype): "BIG_5", "UTF8", ...
    const QString& ConnectionName() const { return FConnectionName; }
    bool IsUtf8() const { return FKind == Kind::Utf8; }

    // UTF-8 of len bytes of the set: a view of src itself when the bytes need
    // no change, else of dst, which holds at least 4 * len bytes.
    QByteArrayView Decode(const char* src, qsizetype len, char* dst) const;
    QString ToString(QByteArrayView bytes) const;

    // The bytes of text in the set. On a character that the set can't hold,
    // returns false with badChar set to it.
    bool Encode(QStringView text, QByteArray& out, char32_t& badChar) const;
    // "character '𠀀' (U+20000) can't be written in character set BIG_5"
    QString CannotHold(char32_t badChar) const;

private:
    enum class Kind { Utf8, Big5, Iconv };
    CharSetCodec(Kind kind, QString connectionName, QByteArray iconvName);
    qsizetype IconvDecode(const char* src, qsizetype len, char* dst) const;

    Kind FKind;
    QString FConnectionName;
    QByteArray FIconvName;
    void* FToUtf8 = nullptr;   // iconv_t
    void* FFromUtf8 = nullptr; // iconv_t
};
