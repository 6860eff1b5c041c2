#pragma once

#include "ProductCatalogue.h"

#include <QList>
#include <QString>
#include <array>
#include <variant>

// A column value: null, Integer, Float or String.
using TDemoValue = std::variant<std::monostate, qint32, double, QString>;
// One product, its values in catalogue order.
using TDemoRow = std::array<TDemoValue, ProductCatalogue::Fields.size()>;

struct TDemoLookupRow {
    QString Code;
    QString Name;
};

// The products of a Taiwanese grocery shop, made up from a seed. A product
// depends only on the seed and its number, so a small database holds the
// first products of a large one made with the same seed. Every text fits its
// column in Big5 bytes.
class TDemoData
{
public:
    explicit TDemoData(quint32 seed);

    TDemoRow Product(int index) const;
    // The product coded "-1" that a new user sees before choosing products.
    TDemoRow DemoProduct() const;
    static QString ProductCode(int index);

    // Rows of PROVIDER, PROD_ITEM or PROD_CLASS; empty for another table.
    static QList<TDemoLookupRow> LookupRows(QStringView tableName);

private:
    quint32 FSeed;
};
