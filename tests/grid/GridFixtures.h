#pragma once

#include "TClientDataSet.h"
#include "TDataSource.h"
#include "TField.h"
#include "TFloatField.h"
#include "TStringField.h"

#include <QApplication>
#include <QFont>
#include <QTest>
#include <QWidget>

// A product table: NAME (String 10), QTY (Integer), PRICE (Float shown as
// "#0.00"), CODE (String 10 shown through "!00-00-0;0;"); row i holds
// "P<i>", i, i + 0.5 and "12345" (row 0 has no CODE).
inline void MakeProducts(TClientDataSet& ds, int rows)
{
    ds.Close();
    ds.FieldDefs().Clear();
    ds.FieldDefs().Add(QStringLiteral("NAME"), TFieldType::ftString, 10);
    ds.FieldDefs().Add(QStringLiteral("QTY"), TFieldType::ftInteger);
    ds.FieldDefs().Add(QStringLiteral("PRICE"), TFieldType::ftFloat);
    ds.FieldDefs().Add(QStringLiteral("CODE"), TFieldType::ftString, 10);
    ds.CreateDataSet();
    ds.DisableControls();
    for (int i = 0; i < rows; ++i) {
        ds.Append();
        ds.Fields()[0]->SetAsString(QStringLiteral("P%1").arg(i));
        ds.Fields()[1]->SetAsInteger(i);
        ds.Fields()[2]->SetAsFloat(i + 0.5);
        if (i > 0) ds.Fields()[3]->SetAsString(QStringLiteral("12345"));
        ds.Post();
    }
    ds.First();
    ds.EnableControls();
    static_cast<TFloatField*>(ds.Fields()[2])->SetDisplayFormat(QStringLiteral("#0.00"));
    ds.Fields()[3]->SetEditMask(QStringLiteral("!00-00-0;0;"));
}

// A table of columns C0..C<n-1>, String 10 each, with a few rows.
inline void MakeWideTable(TClientDataSet& ds, int columns, int rows)
{
    ds.Close();
    ds.FieldDefs().Clear();
    for (int c = 0; c < columns; ++c)
        ds.FieldDefs().Add(QStringLiteral("C%1").arg(c), TFieldType::ftString, 10);
    ds.CreateDataSet();
    for (int r = 0; r < rows; ++r) {
        ds.Append();
        for (int c = 0; c < columns; ++c)
            ds.Fields()[c]->SetAsString(QStringLiteral("%1/%2").arg(r).arg(c));
        ds.Post();
    }
    ds.First();
}

// A fixed font, so that row heights and column widths are the same on every
// machine that runs the tests.
inline QFont TestFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("AR PL UMing TW"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(12);
    return font;
}

// Shows a widget at a size and waits until it is exposed.
inline bool ShowAt(QWidget& widget, int width, int height)
{
    widget.resize(width, height);
    widget.show();
    return QTest::qWaitForWindowExposed(&widget);
}
