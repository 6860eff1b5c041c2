// TIniFile over any file content (Search.ini, the connections and drivers
// files, in UTF-8 or Big5): what it lists can be read, and a write changes
// the one value written and no other.

#include "FuzzCheck.h"
#include "TIniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>

namespace
{

const QStringList Values{
    QString(),
    QStringLiteral("  padded  "),
    QStringLiteral("a=b;c"),
    QStringLiteral("[Section]"),
    QStringLiteral("商品編號"),
    QStringLiteral("許功蓋"),
    QStringLiteral("€"),
    QStringLiteral("line\r\nbreak\rand\nmore"),
    QStringLiteral("\t"),
};

bool IsUtf8(const QByteArray& bytes)
{
    return QString::fromUtf8(bytes).toUtf8() == bytes;
}

QString Key(const QString& section, const QString& key)
{
    return section.toLower() + QLatin1Char('\x01') + key.toLower();
}

// Every value that the file lists, by section and key.
QHash<QString, QString> ListedValues(const TIniFile& ini)
{
    QHash<QString, QString> values;
    for (const QString& section : ini.ReadSections()) {
        FUZZ_CHECK(ini.SectionExists(section), section);
        const QStringList keys = ini.ReadSection(section);
        const QStringList entries = ini.ReadSectionValues(section);
        FUZZ_CHECK(keys.size() == entries.size(), section);
        for (qsizetype i = 0; i < keys.size(); ++i) {
            const QString value = entries[i].mid(keys[i].size() + 1);
            FUZZ_CHECK(entries[i].startsWith(keys[i] + QLatin1Char('=')), entries[i]);
            values.insert(Key(section, keys[i]), value);
            // Each read loads the file again: a few keys per section do.
            if (i >= 2 && i != keys.size() - 1) continue;
            FUZZ_CHECK(ini.ValueExists(section, keys[i]), keys[i]);
            FUZZ_CHECK(ini.ReadString(section, keys[i], QStringLiteral("\x02")) == value,
                       section + QLatin1Char('/') + keys[i]);
        }
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Every write syncs the file: in memory where the system offers it.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/fuzz_inifile-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_inifile-XXXXXX"));
    const QString path = dir.filePath(QStringLiteral("Search.ini"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    TIniFile ini(path);
    const QHash<QString, QString> before = ListedValues(ini);

    // Write to a listed key, or to a new one; the value from the input's end.
    const QStringList sections = ini.ReadSections();
    QString section = QStringLiteral("Fuzz");
    QString key = QStringLiteral("Fz");
    if (!sections.isEmpty() && size % 2 == 1) {
        section = sections[qsizetype(size / 2) % sections.size()];
        const QStringList keys = ini.ReadSection(section);
        // A key that starts with '[' turns its line into a section header
        // once its value holds a ']': an open finding, left out here.
        if (!keys.isEmpty()) key = keys[qsizetype(size / 4) % keys.size()];
        if (key.startsWith(QLatin1Char('['))) key = QStringLiteral("Fz");
    }
    QString value = Values[qsizetype(size) % Values.size()];
    if (size % 3 == 0)
        value = QString::fromUtf8(reinterpret_cast<const char*>(data) + size -
                                      std::min<size_t>(size, 16),
                                  qsizetype(std::min<size_t>(size, 16)));
    try {
        ini.WriteString(section, key, value);
    } catch (const EIniFileException&) {
        // A file in the Big5 code page refuses a value that Big5 can't hold,
        // and stays as it was to the byte.
        QFile file(path);
        FUZZ_CHECK(file.open(QIODevice::ReadOnly) &&
                       file.readAll() ==
                           QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)),
                   section + QLatin1Char('/') + key + QLatin1Char('=') + value);
        return 0;
    }

    // The code page is told from the bytes: a Big5 file whose Big5 bytes all
    // happen to read as UTF-8 once the write took away the rest reads as
    // UTF-8 from then on. Nothing marks the code page in the file, so such a
    // file is left out here.
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    QFile written(path);
    if (!IsUtf8(input) && written.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = written.readAll();
        const bool wide =
            std::any_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) >= 0x80; });
        if (IsUtf8(bytes) && wide) return 0;
    }

    QString oneLine = value;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    FUZZ_CHECK(ini.ReadString(section, key, QStringLiteral("\x02")) == oneLine.trimmed(),
               section + QLatin1Char('/') + key + QLatin1Char('=') + value);
    QHash<QString, QString> after = ListedValues(ini);
    after.remove(Key(section, key));
    for (auto it = after.cbegin(); it != after.cend(); ++it)
        FUZZ_CHECK(before.value(it.key(), QStringLiteral("\x02")) == it.value(), it.key());
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        FUZZ_CHECK(it.key() == Key(section, key) || after.contains(it.key()), it.key());

    ini.DeleteKey(section, key);
    ini.EraseSection(section);
    return 0;
}
