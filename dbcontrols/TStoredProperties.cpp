#include "TStoredProperties.h"

#include "Exceptions.h"

#include <cctype>

namespace
{
bool IsIdent(const QString& text)
{
    if (text.isEmpty() || !(text[0].isLetter() || text[0] == QLatin1Char('_'))) return false;
    for (QChar c : text)
        if (!(c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('.'))) return false;
    return true;
}
} // namespace

void TStoredProperties::InvalidValue()
{
    throw Exception(QStringLiteral("Invalid property value"));
}

QString TStoredProperties::Value(const QString& name) const
{
    for (const TStoredProperty& item : FItems)
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0) return item.Value;
    return {};
}

bool TStoredProperties::Contains(const QString& name) const
{
    for (const TStoredProperty& item : FItems)
        if (item.Name.compare(name, Qt::CaseInsensitive) == 0) return true;
    return false;
}

void TStoredProperties::WriteBoolean(const QString& name, bool value)
{
    FItems.append({name, value ? QStringLiteral("True") : QStringLiteral("False")});
}

void TStoredProperties::WriteInteger(const QString& name, int value)
{
    FItems.append({name, QString::number(value)});
}

void TStoredProperties::WriteIdent(const QString& name, const QString& ident)
{
    FItems.append({name, ident});
}

void TStoredProperties::WriteString(const QString& name, const QString& text)
{
    // Control characters stay outside the quotes, so that one property is
    // always one line.
    QString value;
    bool quoted = false;
    for (QChar c : text) {
        if (c.unicode() < 32) {
            if (quoted) value += QLatin1Char('\'');
            quoted = false;
            value += QLatin1Char('#') + QString::number(c.unicode());
            continue;
        }
        if (!quoted) value += QLatin1Char('\'');
        quoted = true;
        value += c;
        if (c == QLatin1Char('\'')) value += c;
    }
    if (quoted) value += QLatin1Char('\'');
    if (value.isEmpty()) value = QStringLiteral("''");
    FItems.append({name, value});
}

void TStoredProperties::WriteSet(const QString& name, const QStringList& members)
{
    FItems.append({name, QLatin1Char('[') + members.join(QStringLiteral(", ")) + QLatin1Char(']')});
}

void TStoredProperties::WriteBinary(const QString& name, const QByteArray& data)
{
    FItems.append(
        {name, QLatin1Char('{') + QString::fromLatin1(data.toHex().toUpper()) + QLatin1Char('}')});
}

QString TStoredProperties::Text() const
{
    QString text;
    for (const TStoredProperty& item : FItems)
        text += item.Name + QStringLiteral(" = ") + item.Value + QLatin1Char('\n');
    return text;
}

TStoredProperties TStoredProperties::FromText(const QString& text)
{
    TStoredProperties stored;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) InvalidValue();
        const QString name = line.left(eq).trimmed();
        if (!IsIdent(name)) InvalidValue();
        stored.FItems.append({name, line.mid(eq + 1).trimmed()});
    }
    return stored;
}

bool TStoredProperties::ReadBoolean(const QString& value)
{
    if (value == QLatin1String("True")) return true;
    if (value != QLatin1String("False")) InvalidValue();
    return false;
}

int TStoredProperties::ReadInteger(const QString& value)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (!ok) InvalidValue();
    return number;
}

QString TStoredProperties::ReadIdent(const QString& value)
{
    if (!IsIdent(value)) InvalidValue();
    return value;
}

QString TStoredProperties::ReadString(const QString& value)
{
    QString text;
    qsizetype i = 0;
    const qsizetype n = value.size();
    if (n == 0) InvalidValue();
    while (i < n) {
        if (value[i] == QLatin1Char('#')) {
            qsizetype end = ++i;
            while (end < n && value[end].isDigit())
                ++end;
            bool ok = false;
            const uint code = value.mid(i, end - i).toUInt(&ok);
            if (!ok || code > 0xFFFF) InvalidValue();
            text += QChar(char16_t(code));
            i = end;
        } else if (value[i] == QLatin1Char('\'')) {
            ++i;
            for (;;) {
                if (i >= n) InvalidValue();
                if (value[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && value[i + 1] == QLatin1Char('\'')) {
                        text += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += value[i++];
            }
        } else {
            InvalidValue();
        }
    }
    return text;
}

QStringList TStoredProperties::ReadSet(const QString& value)
{
    if (!value.startsWith(QLatin1Char('[')) || !value.endsWith(QLatin1Char(']'))) InvalidValue();
    QStringList members;
    for (const QString& part :
         value.mid(1, value.size() - 2).split(QLatin1Char(','), Qt::SkipEmptyParts))
        members << ReadIdent(part.trimmed());
    return members;
}

QByteArray TStoredProperties::ReadBinary(const QString& value)
{
    if (!value.startsWith(QLatin1Char('{')) || !value.endsWith(QLatin1Char('}'))) InvalidValue();
    const QString hex = value.mid(1, value.size() - 2);
    if (hex.size() % 2 != 0) InvalidValue();
    for (QChar c : hex)
        if (!isxdigit(c.toLatin1())) InvalidValue();
    return QByteArray::fromHex(hex.toLatin1());
}

int TStoredProperties::IndexOfName(const QString& name, const QStringView* names, int count)
{
    for (int i = 0; i < count; ++i)
        if (names[i] == name) return i;
    InvalidValue();
}
