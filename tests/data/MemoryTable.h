#pragma once

#include "TClientDataSet.h"
#include "TField.h"

#include <QVariantList>

// A small in-memory product table: NAME (String 10), QTY (Integer),
// PRICE (Float), filled with the given rows.
inline void MakeMemoryTable(TClientDataSet& ds, const QList<QVariantList>& rows,
                            bool nameRequired = false)
{
    ds.FieldDefs().Clear();
    ds.FieldDefs().Add(QStringLiteral("NAME"), TFieldType::ftString, 10, nameRequired);
    ds.FieldDefs().Add(QStringLiteral("QTY"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("PRICE"), TFieldType::ftFloat);
    ds.CreateDataSet();
    for (const QVariantList& row : rows) {
        ds.Append();
        for (int i = 0; i < row.size(); ++i)
            ds.Fields()[i]->SetValue(row[i]);
        ds.Post();
    }
    ds.First();
}

inline QStringList Column(TDataSet& ds, const QString& field)
{
    QStringList values;
    const int recNo = ds.RecNo();
    for (ds.First(); !ds.Eof(); ds.Next())
        values << ds.FieldByName(field)->AsString();
    if (recNo > 0)
        ds.SetRecNo(recNo);
    return values;
}
