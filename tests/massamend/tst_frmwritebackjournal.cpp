#include "DBGrid.h"
#include "FrmWriteBackJournal.h"
#include "MassAmendFixture.h"
#include "TWriteBackUndo.h"
#include "TestBackends.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

// "回存記錄": the window that lists the journal's write-backs of the current
// database and takes one back, opened by Ctrl+H or the grid's context menu.
class tst_FrmWriteBackJournal : public QObject
{
    Q_OBJECT

private slots:
    void listsTheWriteBackAndTakesItBack_data() { AddBackendRows(); }
    void listsTheWriteBackAndTakesItBack();
    void gridMenuAndShortcuts_data() { AddBackendRows(); }
    void gridMenuAndShortcuts();
};

namespace
{

QStringList RowTexts(const QTableWidget& list, int row)
{
    QStringList texts;
    for (int column = 0; column < list.columnCount(); ++column)
        texts << list.item(row, column)->text();
    return texts;
}

} // namespace

void tst_FrmWriteBackJournal::listsTheWriteBackAndTakesItBack()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    const QStringList listed = f.Codes({1, 2, 3});
    QVERIFY(f.Check->Execute(QStringLiteral("update PRODUCT set PROD_SNAME = 'OLD'")));
    const QMap<QString, QVariantList> before = f.Rows();
    f.Load(listed);
    f.Choose(QStringLiteral("PROD_SNAME"), QStringLiteral("新簡稱"));
    f.Form->Button2Click(f.Form->Button2);
    QCOMPARE(f.Column(QStringLiteral("PROD_SNAME")).value(listed.at(0)).toString(),
             QStringLiteral("新簡稱"));

    f.Form->MenuItemJournal->trigger();

    TFrmWriteBackJournal* window = f.Form->JournalWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("回存記錄"));
    QCOMPARE(window->ListJournal->rowCount(), 1);
    QCOMPARE(
        RowTexts(*window->ListJournal, 0),
        QStringList({QStringLiteral("2024/03/05 21:07:05"), QStringLiteral("商品簡稱"),
                     QStringLiteral("新簡稱"), QStringLiteral("3 / 3"),
                     f.Form->Journal().Entries(f.Form->DatabaseName()).first().User, QString()}));
    QVERIFY(window->ButtonUndo->isEnabled());
    f.Boxes.Boxes.clear();

    QTest::mouseClick(window->ButtonUndo, Qt::LeftButton);

    QCOMPARE(f.Boxes.Boxes.size(), 2);
    QCOMPARE(f.Boxes.Boxes.first().Type, TMsgDlgType::mtConfirmation);
    QVERIFY(f.Boxes.Texts().first().contains(QStringLiteral("「商品簡稱」欄位的 3 筆")));
    QCOMPARE(f.Boxes.Texts().at(1), TWriteBackUndo::DoneText(3, 0, 0));
    const QMap<QString, QVariant> names = f.Column(QStringLiteral("PROD_SNAME"));
    for (const QString& code : listed)
        QCOMPARE(names.value(code).toString(), QStringLiteral("OLD"));
    QCOMPARE(f.Rows().keys(), before.keys());
    // The undo shows first, and the write-back as undone.
    QCOMPARE(window->ListJournal->rowCount(), 2);
    QCOMPARE(window->ListJournal->item(0, 3)->text(), QStringLiteral("3 / 3"));
    QVERIFY(window->ListJournal->item(0, 2)->text().startsWith(QStringLiteral("（復原")));
    QCOMPARE(window->ListJournal->item(1, 5)->text(), QStringLiteral("已復原"));
}

void tst_FrmWriteBackJournal::gridMenuAndShortcuts()
{
    QFETCH(TestBackend, backend);
    MassAmendFixture f(backend);
    OPEN_FIXTURE(f);
    QCOMPARE(f.Form->PopupMenu1->actions(),
             QList<QAction*>({f.Form->MenuItemJournal, f.Form->MenuItemUndo}));
    QCOMPARE(f.Form->MenuItemJournal->text(), QStringLiteral("回存記錄"));
    QCOMPARE(f.Form->MenuItemUndo->text(), QStringLiteral("復原"));
    QCOMPARE(f.Form->MenuItemJournal->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
    QCOMPARE(f.Form->MenuItemUndo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));

    f.Form->show();
    f.Form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.Form.get()));
    QWidget* viewport = f.Form->DBGrid1->viewport();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(20, 20),
                            viewport->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(viewport, &click);
    QTRY_VERIFY(f.Form->PopupMenu1->isVisible());
    f.Form->PopupMenu1->close();

    // Nothing journaled yet for this database: Ctrl+Z says so.
    QTest::keyClick(f.Form->DBGrid1, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(f.Boxes.Texts(), QStringList({QStringLiteral("這個資料庫沒有可復原的回存。")}));
    QTest::keyClick(f.Form->DBGrid1, Qt::Key_H, Qt::ControlModifier);
    QVERIFY(f.Form->JournalWindow() && f.Form->JournalWindow()->isVisible());
    QCOMPARE(f.Form->JournalWindow()->ListJournal->rowCount(), 0);
    QVERIFY(!f.Form->JournalWindow()->ButtonUndo->isEnabled());
}

QTEST_MAIN(tst_FrmWriteBackJournal)
#include "tst_frmwritebackjournal.moc"
