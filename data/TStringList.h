#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// An ordered list of text lines, also read as name=value pairs: the lines of
// a SQL command and the parameter list of a connection. Names compare without
// regard to case; a line without '=' has itself as name and an empty value.
class TStringList
{
public:
    TStringList() = default;
    TStringList(const TStringList& other) : FLines(other.FLines) {}
    TStringList& operator=(const TStringList& other);

    int Count() const { return int(FLines.size()); }
    const QString& Strings(int index) const { return FLines.at(index); }
    const QString& operator[](int index) const { return FLines.at(index); }
    const QStringList& Lines() const { return FLines; }

    void Clear();
    void Add(const QString& line);
    void Insert(int index, const QString& line);
    void Delete(int index);
    void SetStrings(int index, const QString& line);
    void Assign(const QStringList& lines);

    // The lines joined by line breaks; setting it splits at CR LF, LF or CR.
    QString Text() const;
    void SetText(const QString& text);

    QString Names(int index) const;
    QString ValueFromIndex(int index) const;
    // Index of the first line whose name is name, or -1.
    int IndexOfName(const QString& name) const;
    // Value of the first line named name; empty when there is none.
    QString Values(const QString& name) const;
    // Replaces the value of the first line named name, or appends a line. An
    // empty value is kept as "name=", not removed: parameter lists declare
    // empty settings.
    void SetValue(const QString& name, const QString& value);

    // Called after every change; the owner of the list sets it.
    std::function<void()> OnChange;

private:
    void Changed();

    QStringList FLines;
};
