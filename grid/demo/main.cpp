// Shows the multi-select grid as the query dialog sets it up, over a product
// list made up here. "--screenshot file.png" saves the window and quits.

#include "ProductCatalogue.h"
#include "QueryDialogSettings.h"
#include "TApplication.h"
#include "TClientDataSet.h"
#include "TDataSource.h"
#include "TFloatField.h"

#include <QApplication>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

namespace
{
const QStringList Names{QStringLiteral("統一麥香奶茶"), QStringLiteral("義美小泡芙"),
                        QStringLiteral("光泉鮮乳"),     QStringLiteral("乖乖玉米脆果"),
                        QStringLiteral("黑松沙士"),     QStringLiteral("舒潔衛生紙"),
                        QStringLiteral("維力炸醬麵"),   QStringLiteral("桂格燕麥片")};
const QStringList Providers{QStringLiteral("統一企業"), QStringLiteral("義美食品"),
                            QStringLiteral("光泉牧場"), QStringLiteral("四洲貿易")};

void FillProducts(TClientDataSet& products, int count)
{
    for (const TProductFieldDef& def : ProductCatalogue::Fields)
        products.FieldDefs().Add(def.Name(), def.DataType, def.Size);
    products.CreateDataSet();
    products.DisableControls();
    for (int i = 0; i < count; ++i) {
        products.Append();
        const auto set = [&](const char* name, const QVariant& value) {
            products.FieldByName(QLatin1String(name))->SetValue(value);
        };
        set("PROD_ID", QStringLiteral("47%1").arg(10000 + i * 37, 8, 10, QLatin1Char('0')));
        set("PROD_NAME", QStringLiteral("%1 %2入").arg(Names[i % Names.size()]).arg(i % 12 + 1));
        set("SAL_TAG", i % 3);
        set("NOW_QTY", double((i * 17) % 240));
        set("STD_COST", 12.5 + i % 40);
        set("SALE_PRICE", 20.0 + i % 55);
        set("PSALE_PRICE", 18.0 + i % 55);
        set("VIP_PRICE", 17.0 + i % 55);
        set("PROVIDER_ID",
            QStringLiteral("V%1").arg(i % Providers.size() + 1, 3, 10, QLatin1Char('0')));
        set("PROVIDER_NAME", Providers[i % Providers.size()]);
        set("UNITNAME", QStringLiteral("個"));
        set("AVG_COST", 13.0 + (i % 7) / 3.0);
        set("PUT_ID", QStringLiteral("%1").arg(10000 + i * 7 % 90000));
        products.Post();
    }
    products.First();
    products.EnableControls();
    static_cast<TFloatField*>(products.FieldByName(QStringLiteral("AVG_COST")))
        ->SetDisplayFormat(QStringLiteral("#0.00"));
    products.FieldByName(QStringLiteral("PUT_ID"))->SetEditMask(QStringLiteral("!00-00-0;0;"));
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    TApplication application;
    application.SetTitle(QStringLiteral("Selectgriddemo"));
    const int shot = QApplication::arguments().indexOf(QStringLiteral("--screenshot"));

    TClientDataSet products;
    FillProducts(products, 500);
    TDataSource source;
    source.SetDataSet(&products);

    QWidget window;
    window.setWindowTitle(QStringLiteral("資料查詢擷取"));
    window.resize(784, 441);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(17, 8, 20, 8);
    auto* grid = new TSelectGrid(&window);
    layout->addWidget(grid);
    QueryDialogSettings::Apply(*grid);
    grid->SetDataSource(&source);
    // The result columns are titled by position, as after a search.
    for (int i = 0; i < int(ProductCatalogue::Fields.size()); ++i)
        grid->ColumnAt(i)->SetTitle(ProductCatalogue::Fields[std::size_t(i)].DisplayName());
    grid->OnTitleButtonClick = [&products](QObject*, const QString& fieldName) {
        products.SetIndexFieldNames(fieldName);
    };

    for (int recNo : {2, 3, 7, 8}) {
        products.SetRecNo(recNo);
        grid->AddCurrentRowToSelection();
    }
    products.SetRecNo(5);
    window.show();
    grid->setFocus();

    if (shot >= 0 && shot + 1 < QApplication::arguments().size()) {
        const QString file = QApplication::arguments().at(shot + 1);
        QTimer::singleShot(300, &window, [&window, file] {
            window.grab().save(file);
            QApplication::quit();
        });
    }
    return app.exec();
}
