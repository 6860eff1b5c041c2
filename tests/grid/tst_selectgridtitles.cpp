#include "SelectGridFixture.h"

#include <QTest>

namespace
{
struct Fixture {
    TClientDataSet ds;
    TDataSource source;
    TestSelectGrid grid;
    QStringList clicked;

    explicit Fixture(int rows = 5)
    {
        MakeProducts(ds, rows);
        source.SetDataSet(&ds);
        grid.setFont(TestFont());
        grid.SetTitleFont(TestFont());
        grid.SetDataSource(&source);
        grid.OnTitleButtonClick = [this](QObject* sender, const QString& fieldName) {
            QCOMPARE(sender, &grid);
            clicked << fieldName;
        };
    }
    bool Show() { return ShowAt(grid, 600, 250); }
};

QStringList FieldOrder(const TDataSet& ds)
{
    QStringList names;
    for (const TField* field : ds.Fields())
        names << field->FieldName();
    return names;
}
} // namespace

class tst_SelectGridTitles : public QObject
{
    Q_OBJECT

private slots:
    void columnAtCountsTheShownFields();
    void placeholderColumnStandsForMissingPositions();
    void setTitleLabelsTheFieldAndWidensTheColumn();
    void setTitleRewritesTheSelectedLine();
    void withoutADataSetSelectedLinesNameTheColumns();
    void withoutUseTFieldsColumnsComeFromSelected();
    void widthsFromZerosAndTitleLines();
    void titleClick_data();
    void titleClick();
    void clickRaisesTheFieldNameAsTheFieldSpellsIt();
    void noEventWithoutTitleButtonsOrField();
    void pressedTitleCellFollowsPressDragAndRelease();
    void draggingAColumnMovesItsField_data();
    void draggingAColumnMovesItsField();
    void hotTrackingFollowsThePointerWithThemes();
    void resizingStoresTheDisplayWidth();
};

void tst_SelectGridTitles::columnAtCountsTheShownFields()
{
    Fixture f;
    f.ds.FieldByName("QTY")->SetVisible(false);
    QCOMPARE(f.grid.ColumnAt(0)->FieldName(), QStringLiteral("NAME"));
    QCOMPARE(f.grid.ColumnAt(1)->FieldName(), QStringLiteral("PRICE"));
    QCOMPARE(f.grid.ColumnAt(2)->GetTitle(), QStringLiteral("CODE"));
    QCOMPARE(f.grid.ColumnAt(3), f.grid.PlaceholderColumn());
    QCOMPARE(f.grid.ColumnAt(-1), f.grid.PlaceholderColumn());
}

void tst_SelectGridTitles::placeholderColumnStandsForMissingPositions()
{
    Fixture f;
    TSelectGridColumn* placeholder = f.grid.ColumnAt(4);
    QVERIFY(placeholder->IsPlaceholder());
    QCOMPARE(placeholder->GetTitle(), QString());
    placeholder->SetTitle(QStringLiteral("多出來的"));
    QCOMPARE(placeholder->GetTitle(), QString());
    for (const TField* field : f.ds.Fields())
        QCOMPARE(field->DisplayLabel(), QString());
}

void tst_SelectGridTitles::setTitleLabelsTheFieldAndWidensTheColumn()
{
    Fixture f;
    const QString title = QStringLiteral("這是一個很長很長的商品數量標題");
    const int before = f.grid.ColumnAt(1)->Width();
    f.grid.ColumnAt(1)->SetTitle(title);
    QCOMPARE(f.ds.FieldByName("QTY")->DisplayLabel(), title);
    QCOMPARE(f.grid.ColumnAt(1)->GetTitle(), title);
    const int expected = QFontMetrics(TestFont()).horizontalAdvance(title) + 4;
    QVERIFY(expected > before);
    QCOMPARE(f.grid.ColumnAt(1)->Width(), expected);

    // Titles set by position, as the query dialog does after a search.
    const QStringList names{"名稱", "數量", "價格", "代碼", "多餘一", "多餘二"};
    for (int i = 0; i < names.size(); ++i)
        f.grid.ColumnAt(i)->SetTitle(names[i]);
    QStringList titles;
    for (int i = 0; i < 4; ++i)
        titles << f.grid.ColumnAt(i)->GetTitle();
    QCOMPARE(titles, names.mid(0, 4));
}

void tst_SelectGridTitles::setTitleRewritesTheSelectedLine()
{
    Fixture f;
    f.grid.SetSelected({"name\t10\t舊名\tF", "PRICE\t8"});
    f.grid.ColumnAt(0)->SetTitle(QStringLiteral("新名"));
    f.grid.ColumnAt(2)->SetTitle(QStringLiteral("售價"));
    QCOMPARE(f.grid.Selected(), QStringList({"name\t10\t新名\tF", "PRICE\t8\t售價"}));
    QCOMPARE(f.ds.FieldByName("NAME")->DisplayLabel(), QStringLiteral("新名"));
}

void tst_SelectGridTitles::withoutADataSetSelectedLinesNameTheColumns()
{
    Fixture f;
    f.source.SetDataSet(nullptr);
    f.grid.SetSelected({"NAME\t10\t名稱\tF", "QTY\t5\t數量\tT"});
    QCOMPARE(f.grid.ColumnAt(0)->FieldName(), QStringLiteral("NAME"));
    QCOMPARE(f.grid.ColumnAt(1)->GetTitle(), QStringLiteral("數量"));
    QCOMPARE(f.grid.ColumnAt(2), f.grid.PlaceholderColumn());
    f.grid.ColumnAt(1)->SetTitle(QStringLiteral("存量"));
    QCOMPARE(f.grid.Selected().at(1), QStringLiteral("QTY\t5\t存量\tT"));
}

void tst_SelectGridTitles::withoutUseTFieldsColumnsComeFromSelected()
{
    Fixture f;
    f.grid.SetUseTFields(false);
    f.grid.SetSelected({"PRICE\t3\t價格\tF", "GHOST\t4\t幽靈\tF", "NAME\t2\t名稱\tF"});
    QCOMPARE(f.grid.ShownColumnCount(), 3);
    QCOMPARE(f.grid.ColumnAt(0)->Field(), f.ds.FieldByName("PRICE"));
    QCOMPARE(f.grid.ColumnAt(1)->Field(), nullptr);
    QCOMPARE(f.grid.ColumnAt(2)->GetTitle(), QStringLiteral("名稱"));
    const QFontMetrics metrics(TestFont());
    const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
    QCOMPARE(f.grid.ColumnAt(0)->Width(),
             qMax(zero * 3 + 4, metrics.horizontalAdvance(QStringLiteral("價格")) + 4));
    QCOMPARE(f.grid.ColumnAt(1)->Width(),
             qMax(64, metrics.horizontalAdvance(QStringLiteral("幽靈")) + 4));
}

void tst_SelectGridTitles::widthsFromZerosAndTitleLines()
{
    Fixture f;
    f.ds.FieldByName("CODE")->SetDisplayLabel(QStringLiteral("短~一行比較長的標題"));
    const QFontMetrics metrics(TestFont());
    const int zero = metrics.horizontalAdvance(QLatin1Char('0'));
    QCOMPARE(f.grid.ColumnAt(0)->Width(), zero * 10 + 4);
    QCOMPARE(
        f.grid.ColumnAt(3)->Width(),
        qMax(zero * 10 + 4, metrics.horizontalAdvance(QStringLiteral("一行比較長的標題")) + 4));
    f.grid.SetOptions(f.grid.Options().Exclude(TDBGridOption::dgTitles));
    QCOMPARE(f.grid.ColumnAt(3)->Width(), zero * 10 + 4);
}

void tst_SelectGridTitles::titleClick_data()
{
    QTest::addColumn<bool>("columnResize");
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<int>("releaseColumn");
    QTest::addColumn<int>("releaseY"); // -1: the title row
    QTest::addColumn<QStringList>("events");

    const QStringList qty{"QTY"};
    QTest::newRow("still") << true << QPoint() << 1 << -1 << qty;
    QTest::newRow("2 pixels across") << true << QPoint(2, 0) << 1 << -1 << qty;
    QTest::newRow("2 pixels both ways") << true << QPoint(-2, 2) << 1 << -1 << qty;
    QTest::newRow("3 pixels across: a drag") << true << QPoint(3, 0) << 1 << -1 << QStringList();
    QTest::newRow("3 pixels down: a drag") << true << QPoint(0, 3) << 1 << -1 << QStringList();
    QTest::newRow("released on the next title") << false << QPoint() << 2 << -1 << QStringList();
    QTest::newRow("released above the top edge") << false << QPoint() << 1 << -4 << QStringList();
    QTest::newRow("released on a data row") << false << QPoint() << 1 << 40 << QStringList();
    QTest::newRow("indicator title") << true << QPoint() << -1 << -1 << QStringList();
}

void tst_SelectGridTitles::titleClick()
{
    QFETCH(bool, columnResize);
    QFETCH(QPoint, move);
    QFETCH(int, releaseColumn);
    QFETCH(int, releaseY);
    QFETCH(QStringList, events);
    Fixture f;
    TDBGridOptions options = f.grid.Options();
    if (!columnResize) options.Exclude(TDBGridOption::dgColumnResize);
    f.grid.SetOptions(options);
    QVERIFY(f.Show());
    const QPoint press = releaseColumn < 0 ? f.grid.CellRect(0, 0).center() : f.grid.TitlePoint(1);
    QPoint release = releaseColumn < 0 ? press : f.grid.TitlePoint(releaseColumn) + move;
    if (releaseY != -1) release.setY(releaseY);
    QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, press);
    if (!move.isNull()) QTest::mouseMove(f.grid.viewport(), press + move);
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, release);
    QCOMPARE(f.clicked, events);
    QCOMPARE(FieldOrder(f.ds), QStringList({"NAME", "QTY", "PRICE", "CODE"}));
    QCOMPARE(f.grid.PressedTitleCell(), TGridCoord());
}

void tst_SelectGridTitles::clickRaisesTheFieldNameAsTheFieldSpellsIt()
{
    Fixture f;
    f.grid.SetUseTFields(false);
    f.grid.SetSelected({"price\t8\t價格\tF"});
    f.ds.Close();
    f.ds.FieldDefs().Clear();
    f.ds.FieldDefs().Add(QStringLiteral("Price"), TFieldType::ftFloat);
    f.ds.CreateDataSet();
    QVERIFY(f.Show());
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.grid.TitlePoint(0));
    QCOMPARE(f.clicked, QStringList({"Price"}));
}

void tst_SelectGridTitles::noEventWithoutTitleButtonsOrField()
{
    Fixture f;
    f.grid.SetUseTFields(false);
    f.grid.SetSelected({"GHOST\t4\t幽靈\tF", "NAME\t10\t名稱\tF"});
    QVERIFY(f.Show());
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.grid.TitlePoint(0));
    QCOMPARE(f.clicked, QStringList());
    f.grid.SetTitleButtons(false);
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.grid.TitlePoint(1));
    QCOMPARE(f.clicked, QStringList());
    f.grid.SetTitleButtons(true);
    QTest::mouseClick(f.grid.viewport(), Qt::LeftButton, {}, f.grid.TitlePoint(1));
    QCOMPARE(f.clicked, QStringList({"NAME"}));
}

void tst_SelectGridTitles::pressedTitleCellFollowsPressDragAndRelease()
{
    Fixture f;
    QVERIFY(f.Show());
    const QPoint press = f.grid.TitlePoint(2);
    QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, press);
    QCOMPARE(f.grid.PressedTitleCell(), TGridCoord({3, 0}));
    QTest::mouseMove(f.grid.viewport(), press + QPoint(0, 3));
    QCOMPARE(f.grid.PressedTitleCell(), TGridCoord());
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, press + QPoint(0, 3));
    QCOMPARE(f.grid.PressedTitleCell(), TGridCoord());

    QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, f.grid.CellRect(0, 0).center());
    QCOMPARE(f.grid.PressedTitleCell(), TGridCoord());
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, f.grid.CellRect(0, 0).center());
    QCOMPARE(f.clicked, QStringList());
}

void tst_SelectGridTitles::draggingAColumnMovesItsField_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to"); // -1: right of the last column
    QTest::addColumn<QStringList>("order");
    QTest::newRow("first onto third") << 0 << 2 << QStringList({"QTY", "PRICE", "NAME", "CODE"});
    QTest::newRow("last onto first") << 3 << 0 << QStringList({"CODE", "NAME", "QTY", "PRICE"});
    QTest::newRow("past the last column")
        << 1 << -1 << QStringList({"NAME", "PRICE", "CODE", "QTY"});
}

void tst_SelectGridTitles::draggingAColumnMovesItsField()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, order);
    Fixture f;
    f.grid.ColumnAt(1)->SetTitle(QStringLiteral("數量"));
    QVERIFY(f.Show());
    QVERIFY(f.grid.PadRect().width() > 20);
    const QPoint press = f.grid.TitlePoint(from);
    const QPoint release =
        to < 0 ? QPoint(f.grid.PadRect().center().x(), press.y()) : f.grid.TitlePoint(to);
    QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, press);
    QTest::mouseMove(f.grid.viewport(), press + QPoint(to < from && to >= 0 ? -4 : 4, 0));
    QTest::mouseMove(f.grid.viewport(), release);
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, release);
    QCOMPARE(f.clicked, QStringList());
    QCOMPARE(FieldOrder(f.ds), order);
    QStringList columns;
    for (int i = 0; i < 4; ++i)
        columns << f.grid.ColumnAt(i)->FieldName();
    QCOMPARE(columns, order);
    // The title lives in the field's label, so it moves with its column.
    QCOMPARE(f.grid.ColumnAt(int(order.indexOf("QTY")))->GetTitle(), QStringLiteral("數量"));
}

void tst_SelectGridTitles::hotTrackingFollowsThePointerWithThemes()
{
    Fixture f;
    QVERIFY(f.Show());
    QTest::mouseMove(f.grid.viewport(), f.grid.TitlePoint(1));
    QCOMPARE(f.grid.HotTitleCell(), TGridCoord({2, 0}));
    QTest::mouseMove(f.grid.viewport(), f.grid.TitlePoint(2));
    QCOMPARE(f.grid.HotTitleCell(), TGridCoord({3, 0}));
    QTest::mouseMove(f.grid.viewport(), f.grid.RowPoint(2));
    QCOMPARE(f.grid.HotTitleCell(), TGridCoord());
    f.grid.SetThemesInUse(false);
    QTest::mouseMove(f.grid.viewport(), f.grid.TitlePoint(1));
    QCOMPARE(f.grid.HotTitleCell(), TGridCoord());
}

void tst_SelectGridTitles::resizingStoresTheDisplayWidth()
{
    Fixture f;
    QVERIFY(f.Show());
    const QRect title = f.grid.CellRect(3, 0);
    const QPoint border(title.right() + 1, title.center().y());
    const int zero = QFontMetrics(TestFont()).horizontalAdvance(QLatin1Char('0'));
    QTest::mousePress(f.grid.viewport(), Qt::LeftButton, {}, border);
    QTest::mouseMove(f.grid.viewport(), border + QPoint(45, 2));
    QTest::mouseRelease(f.grid.viewport(), Qt::LeftButton, {}, border + QPoint(45, 2));
    const int width = title.width() + 45;
    QCOMPARE(f.ds.FieldByName("PRICE")->DisplayWidth(), (width + qMax(0, zero / 2 - 3) - 4) / zero);
    QCOMPARE(f.clicked, QStringList());
    QCOMPARE(FieldOrder(f.ds), QStringList({"NAME", "QTY", "PRICE", "CODE"}));
}

QTEST_MAIN(tst_SelectGridTitles)
#include "tst_selectgridtitles.moc"
