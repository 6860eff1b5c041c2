#include "TStringList.h"

TStringList& TStringList::operator=(const TStringList& other)
{
    if (this != &other) {
        FLines = other.FLines;
        Changed();
    }
    return *this;
}

void TStringList::Clear()
{
    if (FLines.isEmpty()) return;
    FLines.clear();
    Changed();
}

void TStringList::Add(const QString& line)
{
    FLines.append(line);
    Changed();
}

void TStringList::Insert(int index, const QString& line)
{
    FLines.insert(index, line);
    Changed();
}

void TStringList::Delete(int index)
{
    FLines.removeAt(index);
    Changed();
}

void TStringList::SetStrings(int index, const QString& line)
{
    FLines[index] = line;
    Changed();
}

void TStringList::Assign(const QStringList& lines)
{
    FLines = lines;
    Changed();
}

QString TStringList::Text() const
{
    return FLines.join(QLatin1Char('\n'));
}

void TStringList::SetText(const QString& text)
{
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    FLines = normalized.isEmpty() ? QStringList() : normalized.split(QLatin1Char('\n'));
    // A trailing line break ends the last line rather than starting an empty one.
    if (!FLines.isEmpty() && FLines.last().isEmpty()) FLines.removeLast();
    Changed();
}

QString TStringList::Names(int index) const
{
    const QString& line = FLines.at(index);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.left(eq);
}

QString TStringList::ValueFromIndex(int index) const
{
    const QString& line = FLines.at(index);
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? QString() : line.mid(eq + 1);
}

int TStringList::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (Names(i).compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

QString TStringList::Values(const QString& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? QString() : ValueFromIndex(i);
}

void TStringList::SetValue(const QString& name, const QString& value)
{
    const int i = IndexOfName(name);
    if (i < 0)
        FLines.append(name + QLatin1Char('=') + value);
    else
        FLines[i] = Names(i) + QLatin1Char('=') + value;
    Changed();
}

void TStringList::Changed()
{
    if (OnChange) OnChange();
}
