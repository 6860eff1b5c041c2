#include "TComboBox.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

class tst_ComboBox : public QObject
{
    Q_OBJECT

private slots:
    void addItemsSelectsNothing();
    void clearRemovesEntriesAndText();
    void selectionFollowsTypedText_data();
    void selectionFollowsTypedText();
    void enterAddsNoEntry();
};

namespace
{
const QStringList Names = {QStringLiteral("商品編號"), QStringLiteral("PRICE"),
                           QStringLiteral("FLAG"), QStringLiteral("PRICE2")};
}

void tst_ComboBox::addItemsSelectsNothing()
{
    TComboBox box;
    box.AddItems(Names);
    QCOMPARE(box.count(), Names.size());
    QCOMPARE(box.ItemIndex(), -1);
    QCOMPARE(box.currentText(), QString());
}

void tst_ComboBox::clearRemovesEntriesAndText()
{
    TComboBox box;
    box.AddItems(Names);
    box.SetItemIndex(2);
    QCOMPARE(box.currentText(), QStringLiteral("FLAG"));
    box.Clear();
    QCOMPARE(box.count(), 0);
    QCOMPARE(box.ItemIndex(), -1);
    QCOMPARE(box.currentText(), QString());
}

void tst_ComboBox::selectionFollowsTypedText_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::newRow("other entry's name")
        << 0 << QStringLiteral("FLAG") << 2 << QStringLiteral("FLAG");
    QTest::newRow("no entry's name")
        << 1 << QStringLiteral("PRICEX") << -1 << QStringLiteral("PRICEX");
    QTest::newRow("case counts") << 1 << QStringLiteral("flag") << -1 << QStringLiteral("flag");
    QTest::newRow("emptied") << 1 << QString() << -1 << QString();
}

void tst_ComboBox::selectionFollowsTypedText()
{
    QFETCH(int, selected);
    QFETCH(QString, typed);
    QFETCH(int, index);
    QFETCH(QString, text);
    TComboBox box;
    box.AddItems(Names);
    box.SetItemIndex(selected);
    box.show();
    box.lineEdit()->selectAll();
    if (typed.isEmpty())
        QTest::keyClick(box.lineEdit(), Qt::Key_Delete);
    else
        QTest::keyClicks(box.lineEdit(), typed);
    QCOMPARE(box.ItemIndex(), index);
    QCOMPARE(box.currentText(), text);
}

void tst_ComboBox::enterAddsNoEntry()
{
    TComboBox box;
    box.AddItems(Names);
    box.show();
    QTest::keyClicks(box.lineEdit(), QStringLiteral("NEW"));
    QTest::keyClick(box.lineEdit(), Qt::Key_Return);
    QCOMPARE(box.count(), Names.size());
    QCOMPARE(box.ItemIndex(), -1);
}

QTEST_MAIN(tst_ComboBox)
#include "tst_combobox.moc"
