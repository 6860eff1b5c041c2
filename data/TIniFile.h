#pragma once

#include "Exceptions.h"

#include <QString>
#include <QStringList>

// Files are read and written as UTF-8; a file that is no valid UTF-8 was
// written in the Big5 code page and is read and written back so. Such a file
// is never re-encoded: a write that Big5 can't hold fails with
// EIniFileException and leaves the file as it was.
//
// An INI file with the usual Windows semantics: "[section]" headers and
// "key=value" lines; section and key names compare without regard to case and
// are trimmed, as are values; the first section and the first key of a name
// win. A missing file, section or key gives the caller's default. Lines
// starting with ';' are comments. Every read looks at the file as it is now
// and every write goes straight to the file, keeping all other lines
// (comments, blank lines, other sections) as they were.
class TIniFile
{
public:
    explicit TIniFile(QString fileName);

    const QString& FileName() const { return FFileName; }

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // A value that is not a decimal integer in the int range gives def.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    // Line breaks in the value are written as blanks: a value is one line.
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);

    QStringList ReadSections() const;
    // The key names of a section in file order.
    QStringList ReadSection(const QString& section) const;
    // The "key=value" lines of a section in file order.
    QStringList ReadSectionValues(const QString& section) const;
    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;

    void EraseSection(const QString& section);
    void DeleteKey(const QString& section, const QString& key);

private:
    struct Content;
    Content Load() const;
    void Save(const Content& content) const;

    QString FFileName;
};

// A write that could not reach the file, or that the file's code page can't
// hold.
class EIniFileException : public Exception
{
public:
    using Exception::Exception;
    QString ClassName() const override { return QStringLiteral("EIniFileException"); }
};
