#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <cstdint>

struct TStoredProperty {
    QString Name;
    QString Value;
};

// A component's stored form: its properties as "Name = Value" lines, in the
// order they were written. Values are True/False, integers, identifiers
// (enumeration members, component names), 'text' with quotes doubled and
// control characters as #nn, [member, member] sets and {hex} binary data.
// Reading a value that is not of the expected kind fails with "Invalid
// property value".
class TStoredProperties
{
public:
    const QList<TStoredProperty>& Items() const { return FItems; }
    // The stored value of a property, empty when it was not written.
    QString Value(const QString& name) const;
    bool Contains(const QString& name) const;

    void WriteBoolean(const QString& name, bool value);
    void WriteInteger(const QString& name, int value);
    void WriteIdent(const QString& name, const QString& ident);
    void WriteString(const QString& name, const QString& text);
    void WriteSet(const QString& name, const QStringList& members);
    void WriteBinary(const QString& name, const QByteArray& data);

    QString Text() const;
    static TStoredProperties FromText(const QString& text);

    static bool ReadBoolean(const QString& value);
    static int ReadInteger(const QString& value);
    static QString ReadIdent(const QString& value);
    static QString ReadString(const QString& value);
    static QStringList ReadSet(const QString& value);
    static QByteArray ReadBinary(const QString& value);

    // An enumeration member by its name in a table of names in ordinal order.
    template <typename E, std::size_t N>
    static E ReadEnum(const QString& value, const std::array<QStringView, N>& names)
    {
        return static_cast<E>(IndexOfName(ReadIdent(value), names.data(), int(N)));
    }
    template <typename S, std::size_t N>
    static S ReadEnumSet(const QString& value, const std::array<QStringView, N>& names)
    {
        std::uint64_t bits = 0;
        for (const QString& member : ReadSet(value))
            bits |= std::uint64_t(1) << IndexOfName(member, names.data(), int(N));
        return S::FromBits(bits);
    }
    template <typename S, std::size_t N>
    static QStringList SetMembers(S set, const std::array<QStringView, N>& names)
    {
        QStringList members;
        for (std::size_t i = 0; i < N; ++i)
            if (set.Bits() & (std::uint64_t(1) << i)) members << names[i].toString();
        return members;
    }

private:
    static int IndexOfName(const QString& name, const QStringView* names, int count);
    [[noreturn]] static void InvalidValue();

    QList<TStoredProperty> FItems;
};
