#pragma once

#include "TFieldType.h"
#include "TSet.h"

#include <QList>
#include <QString>

// Column definitions of an in-memory table (CreateDataSet).
struct TFieldDef
{
    QString Name;
    TFieldType DataType = TFieldType::ftUnknown;
    int Size = 0;
    bool Required = false;
};

class TFieldDefs
{
public:
    void Add(const QString& name, TFieldType type, int size = 0, bool required = false)
    {
        FItems.append({name, type, size, required});
    }
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    const TFieldDef& operator[](int index) const { return FItems.at(index); }

private:
    QList<TFieldDef> FItems;
};

enum class TIndexOption { ixPrimary, ixUnique, ixDescending, ixCaseInsensitive, ixExpression,
                          ixNonMaintained };
using TIndexOptions = TSet<TIndexOption>;

struct TIndexDef
{
    QString Name;
    QString Fields;
    TIndexOptions Options;
};

// Declared indexes. Only IndexFieldNames orders the rows; a declared index
// is a definition until it is chosen.
class TIndexDefs
{
public:
    void Add(const QString& name, const QString& fields, TIndexOptions options)
    {
        FItems.append({name, fields, options});
    }
    void Clear() { FItems.clear(); }
    int Count() const { return int(FItems.size()); }
    const TIndexDef& operator[](int index) const { return FItems.at(index); }

private:
    QList<TIndexDef> FItems;
};
