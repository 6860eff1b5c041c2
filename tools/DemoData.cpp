#include "DemoData.h"

#include "Big5Iconv.h"
#include "DemoRandom.h"
#include "DemoTemplates.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <cmath>

using ProductCatalogue::IndexOf;

namespace
{

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

QStringList Variants(const char* text)
{
    return Utf8(text).split(QLatin1Char('|'), Qt::SkipEmptyParts);
}

QString Digits(qint64 value, int width)
{
    return QStringLiteral("%1").arg(value, width, 10, QLatin1Char('0'));
}

double Money(double value)
{
    return std::round(value * 100) / 100;
}

// Check digit of an EAN-13 or GTIN-14 body.
QChar CheckDigit(const QString& body)
{
    int sum = 0;
    for (qsizetype i = 0; i < body.size(); ++i) {
        const int digit = body.at(body.size() - 1 - i).digitValue();
        sum += i % 2 == 0 ? digit * 3 : digit;
    }
    return QChar(u'0' + (10 - sum % 10) % 10);
}

QString Date(const QDate& date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

QString YesNo(bool yes)
{
    return yes ? QStringLiteral("Y") : QStringLiteral("N");
}

// The shop's fixed lists, split and indexed once.
struct TShop {
    struct TVariants {
        QStringList Names;
        QStringList EnglishNames;
        QStringList Sizes;
    };

    QList<TVariants> Shapes;
    QHash<QString, QString> ProviderNames;
    QHash<QString, QString> ItemNames;
    QHash<QString, QStringList> ItemDescriptions;
    QHash<QString, QString> ClassNames;

    static const TShop& Get()
    {
        static const TShop shop;
        return shop;
    }

private:
    TShop()
    {
        for (const TDemoTemplate& shape : DemoTemplates::Templates())
            Shapes.append(
                {Variants(shape.Names), Variants(shape.EnglishNames), Variants(shape.Sizes)});
        for (const TDemoProvider& provider : DemoTemplates::Providers())
            ProviderNames.insert(Utf8(provider.Id), Utf8(provider.Name));
        for (const TDemoItem& item : DemoTemplates::Items()) {
            ItemNames.insert(Utf8(item.Id), Utf8(item.Name));
            ItemDescriptions.insert(Utf8(item.Id), Variants(item.Descriptions));
        }
        for (const TDemoClass& productClass : DemoTemplates::Classes())
            ClassNames.insert(Utf8(productClass.Id), Utf8(productClass.Name));
    }
};

// Draws one product, a group of related columns at a time, writing values by
// field position and cutting texts to their column's Big5 size.
class TProductDraw
{
public:
    TProductDraw(quint32 seed, int index, TDemoRow& row)
        : FRandom((quint64(seed) << 32) ^ TDemoRandom(quint64(index) + 1).Next()), FIndex(index),
          FRow(row)
    {
        const auto templates = DemoTemplates::Templates();
        const int shape = Pick(int(templates.size()));
        FShape = &templates[shape];
        FVariants = &TShop::Get().Shapes[shape];
        FCompany = QString::number(1000 + (shape * 37) % 9000);
    }

    void NamesAndCodes();
    void Prices();
    void Stock();
    void Lookups();
    void Packs();
    void Shelf();
    void Dates();
    void Flags();

private:
    int Pick(int count) { return FRandom.Between(0, count - 1); }
    // An EAN-13 of this product's maker; the item part stays unique for
    // 100,000 products.
    QString Barcode(int salt) const
    {
        const QString body =
            QStringLiteral("471") + FCompany + Digits((qint64(FIndex) * 7919 + salt) % 100000, 5);
        return body + CheckDigit(body);
    }

    void Text(int index, const QString& value)
    {
        Q_ASSERT(ProductCatalogue::Fields[index].DataType == TFieldType::ftString);
        FRow[index] = TBig5Iconv::Fit(value, ProductCatalogue::Fields[index].Size);
    }
    void Integer(int index, qint32 value)
    {
        Q_ASSERT(ProductCatalogue::Fields[index].DataType == TFieldType::ftInteger);
        FRow[index] = value;
    }
    void Float(int index, double value)
    {
        Q_ASSERT(ProductCatalogue::Fields[index].DataType == TFieldType::ftFloat);
        FRow[index] = value;
    }

    TDemoRandom FRandom;
    int FIndex;
    TDemoRow& FRow;
    const TDemoTemplate* FShape;
    const TShop::TVariants* FVariants;
    QString FCompany;
};

void TProductDraw::NamesAndCodes()
{
    const int name = Pick(int(FVariants->Names.size()));
    const QString size = FVariants->Sizes.isEmpty()
                             ? QString()
                             : FVariants->Sizes[Pick(int(FVariants->Sizes.size()))];
    const QString baseName = FVariants->Names[name];
    const QString fullName = Utf8(FShape->Brand) + baseName;

    Text(IndexOf("PROD_ID"), TDemoData::ProductCode(FIndex));
    if (FRandom.Chance(20))
        Text(IndexOf("PROD_ID2"), QLatin1Char('T') + Digits(FRandom.Between(0, 999999), 6));
    Text(IndexOf("PROD_BARCODE"), Barcode(12345));
    Text(IndexOf("PROD_NAME"), size.isEmpty() ? fullName : fullName + QLatin1Char(' ') + size);
    Text(IndexOf("PROD_SNAME"), baseName);
    Text(IndexOf("PROD_SCALE"), size);
    Text(IndexOf("E_NAME"),
         QStringList({Utf8(FShape->EnglishBrand), FVariants->EnglishNames.value(name), size})
             .join(QLatin1Char(' '))
             .trimmed());
    if (FRandom.Chance(30))
        Text(IndexOf("PHOTO_PATH"),
             QStringLiteral("D:\\POS\\PHOTO\\%1.jpg").arg(TDemoData::ProductCode(FIndex)));
    if (QLatin1String(FShape->ItemId) == QLatin1String("4101")) {
        Text(IndexOf("PUBLISHER"), QStringLiteral("遠流出版"));
        Text(IndexOf("AUTHOR"), QStringLiteral("金庸"));
    }
}

void TProductDraw::Prices()
{
    // Shop prices end in .00, .50 or .90; costs are to the cent, averages finer.
    const int ending = FRandom.Between(0, 9);
    const double price =
        FRandom.Between(FShape->PriceLow, FShape->PriceHigh) + (ending < 7   ? 0
                                                                : ending < 9 ? 0.5
                                                                             : 0.9);
    const double cost = Money(price * FRandom.Between(55, 85) / 100.0);
    const double wholesale = Money(cost * 1.12);
    Float(IndexOf("PSALE_PRICE"), price);
    Float(IndexOf("VIP_PRICE"), std::floor(price * 0.95));
    Float(IndexOf("SALE_PRICE"), std::ceil(price / 5) * 5);
    Float(IndexOf("N_PRICE"), price);
    Float(IndexOf("STD_COST"), cost);
    Float(IndexOf("FIRST_COST"), cost);
    Float(IndexOf("AVG_COST"), std::round(cost * FRandom.Between(9700, 10300)) / 10000);
    Float(IndexOf("MAVG_COST"), std::round(cost * FRandom.Between(9700, 10300)) / 10000);
    Float(IndexOf("NET_COST"), Money(cost * 0.98));
    Float(IndexOf("ADD_COST"), FRandom.Chance(20) ? 0.5 : 0);
    Float(IndexOf("P_LTCOST"), Money(cost * FRandom.Between(95, 105) / 100.0));
    Float(IndexOf("P_PRICE"), wholesale);
    Float(IndexOf("CR_PRICE"), wholesale);
    Float(IndexOf("P_PRICE2"), Money(wholesale * 1.05));
    Float(IndexOf("LOWER_PRICE"), Money(cost * 1.05));
    Float(IndexOf("DEF_PROFIT"), Money(price - cost));
    const bool bundle = FRandom.Chance(10);
    Float(IndexOf("BUY_Q"), bundle ? 2 : 0);
    Float(IndexOf("BUY_G"), bundle ? 1 : 0);
    Float(IndexOf("DE_RATE"), FRandom.Chance(30) ? FRandom.Between(1, 20) / 10.0 : 0);
    Float(IndexOf("P_VALUE"), FRandom.Chance(80) ? 1 : 0);
    for (const int zero : {IndexOf("ADV_MON_DIS"), IndexOf("U_DIS"), IndexOf("FREE_TAX"),
                           IndexOf("HEA_TAX"), IndexOf("GIVE_QTY2")})
        Float(zero, 0);
}

void TProductDraw::Stock()
{
    // Tills sell what the shelf has before the books do: a few counts are negative.
    Float(IndexOf("NOW_QTY"), FRandom.Chance(3) ? -FRandom.Between(1, 5) : FRandom.Between(0, 240));
    Float(IndexOf("BEFORE_QTY"), FRandom.Between(0, 200));
    Float(IndexOf("LEND_QTY"), 0);
    Integer(IndexOf("SAFE_QTY"), FRandom.Between(1, 8) * 6);
    Integer(IndexOf("SAFE_DAY"), FRandom.Pick({7, 14, 30}));
    Integer(IndexOf("IN_TAG"), FRandom.Chance(10) ? 1 : 0);
    Integer(IndexOf("MAKE_POINT"), FRandom.Between(0, 10) * 10);
    Float(IndexOf("P_LOWQTY"), FShape->CaseQty);
    Float(IndexOf("LIMIT_DAY"), FShape->ShelfDays);
    Float(IndexOf("PR_VALUE"), 1);
}

void TProductDraw::Lookups()
{
    const TShop& shop = TShop::Get();
    const QString providerId =
        Utf8(FRandom.Chance(1) ? DemoTemplates::RetiredProviderId : FShape->ProviderId);
    Text(IndexOf("PROVIDER_ID"), providerId);
    if (shop.ProviderNames.contains(providerId))
        Text(IndexOf("PROVIDER_NAME"), shop.ProviderNames.value(providerId));
    if (FRandom.Chance(15)) {
        const auto providers = DemoTemplates::Providers();
        const TDemoProvider& second = providers[Pick(int(providers.size()))];
        Text(IndexOf("PROVIDER_ID2"), Utf8(second.Id));
        Text(IndexOf("PROVIDER_NAME2"), Utf8(second.Name));
    }

    const QString itemId = Utf8(FRandom.Chance(1) ? DemoTemplates::RetiredItemId : FShape->ItemId);
    Text(IndexOf("HI_ITEMID"), itemId.left(1));
    Text(IndexOf("MID_ITEMID"), itemId.left(2));
    Text(IndexOf("PD_ITEMID"), itemId);
    if (shop.ItemNames.contains(itemId)) Text(IndexOf("PD_ITEMNAME"), shop.ItemNames.value(itemId));
    const QStringList descriptions = shop.ItemDescriptions.value(itemId);
    if (!descriptions.isEmpty() && FRandom.Chance(50))
        Text(IndexOf("DESCRIPTION"), descriptions[Pick(int(descriptions.size()))]);

    // Most products are plain ones; a few are on offer, new, seasonal,
    // imported, own brand or on consignment.
    static const char* const classIds[] = {"01", "01", "01", "01", "01", "01", "01",
                                           "01", "01", "01", "01", "01", "01", "01",
                                           "02", "02", "03", "04", "05", "06", "07"};
    const QString classId =
        Utf8(FRandom.Chance(1) ? DemoTemplates::RetiredClassId : FRandom.Pick(classIds));
    Text(IndexOf("PD_CLASSID"), classId);
    if (shop.ClassNames.contains(classId))
        Text(IndexOf("PD_CLASSNAME"), shop.ClassNames.value(classId));
    const bool consigned = classId == QLatin1String("07");
    Text(IndexOf("SEND_YN"), YesNo(consigned));
    Float(IndexOf("ERN_RATE"), consigned ? 15 : 0);
    Text(IndexOf("BUY_CLASS"), consigned ? QStringLiteral("2") : QStringLiteral("1"));
    Text(IndexOf("BRK_YN"), YesNo(!consigned));
    if (classId == QLatin1String("02")) {
        const QDate start = QDate(2024, 1, 1).addDays(FRandom.Between(0, 330));
        Text(IndexOf("INI_DATE"), Date(start));
        Text(IndexOf("END_DATE"), Date(start.addDays(FRandom.Between(14, 60))));
    }
}

void TProductDraw::Packs()
{
    const QString unit = Utf8(FShape->Unit);
    Text(IndexOf("UNITNAME"), unit);
    Text(IndexOf("SAL_PACK"), unit);
    Text(IndexOf("IN_PACK"), QStringLiteral("箱"));
    if (FShape->PackQty > 0) {
        Float(IndexOf("PACK1_QTY"), FShape->PackQty);
        Text(IndexOf("PACK1"), QStringLiteral("組"));
        if (FRandom.Chance(50)) Text(IndexOf("PACK1_BARCODE"), Barcode(54321));
    }
    Float(IndexOf("PACK2_QTY"), FShape->CaseQty);
    Text(IndexOf("PACK2"), QStringLiteral("箱"));
    if (FRandom.Chance(60)) {
        const QString body = QLatin1Char('1') + Barcode(12345).left(12);
        Text(IndexOf("PACK2_BARCODE"), body + CheckDigit(body));
    }
}

void TProductDraw::Shelf()
{
    const int area = FRandom.Between(1, 12);
    const int shelf = FRandom.Between(1, 20);
    const int level = FRandom.Between(1, 5);
    Text(IndexOf("PUT_IT"), QChar(u'A' + area - 1) + QLatin1Char('-') + Digits(shelf, 2));
    Text(IndexOf("PUT_ID"), Digits(area, 2) + Digits(shelf, 2) + QString::number(level));
    Float(IndexOf("PUT_FACE"), FRandom.Between(1, 4));
    Float(IndexOf("PUT_X"), level);
    Float(IndexOf("PUT_Y"), FRandom.Between(2, 8));
}

void TProductDraw::Dates()
{
    const QDate first(2018, 1, 1);
    const QDate created = first.addDays(FRandom.Between(0, int(first.daysTo(QDate(2024, 6, 30)))));
    const int span = int(created.daysTo(QDate(2024, 12, 31)));
    Text(IndexOf("CR_DATE"), Date(created));
    Text(IndexOf("NEAR_INDATE"), Date(created.addDays(FRandom.Between(0, span))));
    Text(IndexOf("NEAR_SALDATE"), Date(created.addDays(FRandom.Between(0, span))));
    Text(IndexOf("CHG_DATE"), Date(created.addDays(FRandom.Between(0, span))));
    Text(IndexOf("CHG_TIME"), Digits(FRandom.Between(8, 21), 2) + QLatin1Char(':') +
                                  Digits(FRandom.Between(0, 59), 2) + QLatin1Char(':') +
                                  Digits(FRandom.Between(0, 59), 2));
    static const char* const users[] = {"ADMIN", "王小明", "陳美玲", "林志豪", "張雅婷"};
    Text(IndexOf("CHG_USER"), Utf8(FRandom.Pick(users)));
}

void TProductDraw::Flags()
{
    const bool retired = FRandom.Chance(2);
    Integer(IndexOf("SAL_TAG"), retired ? 1 : 0);
    Text(IndexOf("DEL_FLAG"), YesNo(retired));
    const bool taxFree = QLatin1String(FShape->ItemId) == QLatin1String("4101");
    Text(IndexOf("TAX_KIND"), taxFree ? QStringLiteral("免稅") : QStringLiteral("應稅"));
    Text(IndexOf("TAX_ITEM_NO"), taxFree ? QStringLiteral("2") : QStringLiteral("1"));
    Text(IndexOf("TAX_ITEM_NAME"), taxFree ? QStringLiteral("免稅") : QStringLiteral("應稅"));
    Text(IndexOf("ABC"), QString(QChar(u'A' + FRandom.Between(0, 2))));
    Text(IndexOf("PT_CLASS"), QString::number(FRandom.Pick({1, 3, 6, 12})));
    Text(IndexOf("MEM_DISCOUNT"), YesNo(FRandom.Chance(70)));
    Text(IndexOf("WEB_SHOW"), YesNo(FRandom.Chance(40)));
    static const std::pair<int, const char*> fixed[] = {
        {IndexOf("STOCK_QTY"), "1"},  {IndexOf("FLAG"), "0"},
        {IndexOf("BILL_CLASS"), "1"}, {IndexOf("SHOW_QTY"), "Y"},
        {IndexOf("MS"), "M"},         {IndexOf("P_PU"), "N"},
        {IndexOf("P_PU2"), "N"},      {IndexOf("PRN_CODE_YN"), "Y"},
        {IndexOf("POINT_YN"), "Y"},   {IndexOf("STK_PRN"), "Y"},
        {IndexOf("HCOST_YN"), "N"},   {IndexOf("ADV_MON_DIS_YN"), "N"},
    };
    for (const auto& [index, value] : fixed)
        Text(index, QLatin1String(value));
}

} // namespace

TDemoData::TDemoData(quint32 seed) : FSeed(seed) {}

QString TDemoData::ProductCode(int index)
{
    return QString::number(100001 + index);
}

TDemoRow TDemoData::Product(int index) const
{
    TDemoRow row;
    TProductDraw draw(FSeed, index, row);
    draw.NamesAndCodes();
    draw.Prices();
    draw.Stock();
    draw.Lookups();
    draw.Packs();
    draw.Shelf();
    draw.Dates();
    draw.Flags();
    return row;
}

TDemoRow TDemoData::DemoProduct() const
{
    TDemoRow row = Product(0);
    row[IndexOf("PROD_ID")] = QStringLiteral("-1");
    row[IndexOf("PROD_ID2")] = std::monostate();
    row[IndexOf("PROD_BARCODE")] = std::monostate();
    row[IndexOf("PACK1_BARCODE")] = std::monostate();
    row[IndexOf("PACK2_BARCODE")] = std::monostate();
    row[IndexOf("PROD_NAME")] = QStringLiteral("示範商品");
    row[IndexOf("PROD_SNAME")] = QStringLiteral("示範商品");
    row[IndexOf("E_NAME")] = QStringLiteral("Demo product");
    row[IndexOf("PHOTO_PATH")] = std::monostate();
    return row;
}

QList<TDemoLookupRow> TDemoData::LookupRows(QStringView tableName)
{
    QList<TDemoLookupRow> rows;
    auto add = [&rows](const auto& items) {
        for (const auto& item : items)
            rows.append({Utf8(item.Id), Utf8(item.Name)});
    };
    if (tableName == u"PROVIDER")
        add(DemoTemplates::Providers());
    else if (tableName == u"PROD_ITEM")
        add(DemoTemplates::Items());
    else if (tableName == u"PROD_CLASS")
        add(DemoTemplates::Classes());
    return rows;
}
