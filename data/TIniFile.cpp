#include "TIniFile.h"

#include "Big5Codec.h"

#include <QFile>
#include <QSaveFile>
#include <optional>

struct TIniFile::Content {
    QStringList Lines;
    QString LineBreak = QStringLiteral("\n");
    bool ByteOrderMark = false;
    // Written by a Windows program in its Big5 code page, not in UTF-8.
    bool Big5 = false;
};

namespace
{

// The name of a "[section]" line; nothing for any other line.
std::optional<QString> SectionName(const QString& line)
{
    const QString t = line.trimmed();
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    if (!t.startsWith(QLatin1Char('[')) || close < 0) return std::nullopt;
    return t.mid(1, close - 1).trimmed();
}

bool IsSection(const QString& line)
{
    return SectionName(line).has_value();
}

bool IsComment(const QString& line)
{
    return line.trimmed().startsWith(QLatin1Char(';'));
}

// The key of a "key=value" line; nothing for any other line.
std::optional<QString> KeyName(const QString& line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0 || IsComment(line) || IsSection(line)) return std::nullopt;
    const QString key = line.left(eq).trimmed();
    if (key.isEmpty()) return std::nullopt;
    return key;
}

QString LineValue(const QString& line)
{
    return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
}

bool SameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the header of the first section called name, or -1.
int FindSection(const QStringList& lines, const QString& name)
{
    for (int i = 0; i < lines.size(); ++i) {
        const auto s = SectionName(lines[i]);
        if (s && SameName(*s, name)) return i;
    }
    return -1;
}

// One past the last line of the section whose header is at header.
int SectionEnd(const QStringList& lines, int header)
{
    int i = header + 1;
    while (i < lines.size() && !IsSection(lines[i]))
        ++i;
    return i;
}

int FindKey(const QStringList& lines, int header, const QString& key)
{
    const int end = SectionEnd(lines, header);
    for (int i = header + 1; i < end; ++i) {
        const auto k = KeyName(lines[i]);
        if (k && SameName(*k, key)) return i;
    }
    return -1;
}

bool ParseInt(const QString& text, int& value)
{
    const QString t = text.trimmed();
    qsizetype i = (t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-'))) ? 1 : 0;
    if (i >= t.size()) return false;
    for (; i < t.size(); ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9')) return false;
    bool ok = false;
    value = t.toInt(&ok);
    return ok;
}

} // namespace

TIniFile::TIniFile(QString fileName) : FFileName(std::move(fileName)) {}

TIniFile::Content TIniFile::Load() const
{
    Content c;
    QFile f(FFileName);
    if (!f.open(QIODevice::ReadOnly)) return c;
    QByteArray data = f.readAll();
    if (data.startsWith("\xEF\xBB\xBF")) {
        c.ByteOrderMark = true;
        data.remove(0, 3);
    }
    if (data.contains("\r\n")) c.LineBreak = QStringLiteral("\r\n");
    QString text;
    if (QUtf8StringView(data).isValidUtf8()) {
        text = QString::fromUtf8(data);
    } else {
        QByteArray utf8(data.size() * 3, Qt::Uninitialized);
        utf8.truncate(Big5Codec::DecodeToUtf8(data.constData(), data.size(), utf8.data()));
        text = QString::fromUtf8(utf8);
        c.Big5 = true;
    }
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    c.Lines = text.split(QLatin1Char('\n'));
    if (!c.Lines.isEmpty() && c.Lines.last().isEmpty()) c.Lines.removeLast();
    return c;
}

void TIniFile::Save(const Content& content) const
{
    QString text;
    for (const QString& line : content.Lines)
        text += line + content.LineBreak;
    QByteArray data;
    if (content.Big5) {
        // Other programs read their sections of this file in Big5: the file
        // is never re-encoded, and what Big5 can't hold is not written.
        char32_t bad = 0;
        if (!Big5Codec::Encode(text, data, bad))
            throw EIniFileException(
                QStringLiteral("Unable to write to %1: the file is in the Big5 code page, which "
                               "cannot hold the character '%2' (U+%3)")
                    .arg(FFileName, QString::fromUcs4(&bad, 1),
                         QString::number(quint32(bad), 16).toUpper().rightJustified(4, u'0')));
    } else {
        if (content.ByteOrderMark) data += "\xEF\xBB\xBF";
        data += text.toUtf8();
    }
    QSaveFile f(FFileName);
    f.setDirectWriteFallback(true);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size() || !f.commit())
        throw EIniFileException(QStringLiteral("Unable to write to %1").arg(FFileName));
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const
{
    const Content c = Load();
    const int header = FindSection(c.Lines, section);
    if (header < 0) return def;
    const int line = FindKey(c.Lines, header, key);
    return line < 0 ? def : LineValue(c.Lines[line]);
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const
{
    int value = 0;
    return ParseInt(ReadString(section, key, QString()), value) ? value : def;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));

    Content c = Load();
    const QString entry = key.trimmed() + QLatin1Char('=') + oneLine;
    int header = FindSection(c.Lines, section);
    if (header < 0) {
        if (!c.Lines.isEmpty() && !c.Lines.last().trimmed().isEmpty()) c.Lines.append(QString());
        c.Lines.append(QLatin1Char('[') + section.trimmed() + QLatin1Char(']'));
        c.Lines.append(entry);
    } else if (const int line = FindKey(c.Lines, header, key); line >= 0) {
        const QString& old = c.Lines[line];
        c.Lines[line] = old.left(old.indexOf(QLatin1Char('='))) + QLatin1Char('=') + oneLine;
    } else {
        // After the section's last non-blank line, so a blank separator stays.
        int at = SectionEnd(c.Lines, header);
        while (at > header + 1 && c.Lines[at - 1].trimmed().isEmpty())
            --at;
        c.Lines.insert(at, entry);
    }
    Save(c);
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

QStringList TIniFile::ReadSections() const
{
    QStringList names;
    for (const QString& line : Load().Lines) {
        const auto s = SectionName(line);
        if (!s) continue;
        bool seen = false;
        for (const QString& n : names)
            seen = seen || SameName(n, *s);
        if (!seen) names.append(*s);
    }
    return names;
}

QStringList TIniFile::ReadSection(const QString& section) const
{
    QStringList keys;
    for (const QString& entry : ReadSectionValues(section))
        keys.append(entry.left(entry.indexOf(QLatin1Char('='))));
    return keys;
}

QStringList TIniFile::ReadSectionValues(const QString& section) const
{
    const Content c = Load();
    const int header = FindSection(c.Lines, section);
    if (header < 0) return {};
    QStringList entries;
    const int end = SectionEnd(c.Lines, header);
    for (int i = header + 1; i < end; ++i) {
        const auto k = KeyName(c.Lines[i]);
        if (!k) continue;
        bool seen = false;
        for (const QString& e : entries)
            seen = seen || SameName(e.left(e.indexOf(QLatin1Char('='))), *k);
        if (!seen) entries.append(*k + QLatin1Char('=') + LineValue(c.Lines[i]));
    }
    return entries;
}

bool TIniFile::SectionExists(const QString& section) const
{
    return FindSection(Load().Lines, section) >= 0;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const
{
    const Content c = Load();
    const int header = FindSection(c.Lines, section);
    return header >= 0 && FindKey(c.Lines, header, key) >= 0;
}

void TIniFile::EraseSection(const QString& section)
{
    Content c = Load();
    const int header = FindSection(c.Lines, section);
    if (header < 0) return;
    c.Lines.erase(c.Lines.begin() + header, c.Lines.begin() + SectionEnd(c.Lines, header));
    Save(c);
}

void TIniFile::DeleteKey(const QString& section, const QString& key)
{
    Content c = Load();
    const int header = FindSection(c.Lines, section);
    if (header < 0) return;
    const int line = FindKey(c.Lines, header, key);
    if (line < 0) return;
    c.Lines.removeAt(line);
    Save(c);
}
