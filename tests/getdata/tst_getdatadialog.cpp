#include "DBGrid.h"
#include "DBSBtn.h"
#include "GetdataFixture.h"
#include "KeyboardWalk.h"
#include "QueryDialogSettings.h"
#include "TIniFile.h"

#include <QAbstractItemView>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

// The dialog as a caller sees it: its window, its lifecycle, Search.ini,
// the ways it closes and the process-wide state.
class tst_GetdataDialog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DialogAccepted = false;
        RememberedFieldIndex = 0;
    }
    void windowAndControls();
    void componentsAndGridSettings();
    void resultGridTakesTheSharedSettings();
    void createReplacesSqlLines();
    void firstUseWithoutIni();
    void iniRead_data();
    void iniRead();
    void iniWrittenAfterCancel();
    void activationRunsOnce();
    void activationFailureStillSelectsField();
    void executeReturnsAccepted_data();
    void executeReturnsAccepted();
    void escOutsideFieldListDoesNotClose();
    void enterOnAFocusedButtonPressesIt_data();
    void enterOnAFocusedButtonPressesIt();
    void iniWriteFailureShownOnceClosed();
    void columnListEmptiedAtClose();
    void releasedOnlyAfterHandler();
    void neverShownInstanceFreedAtQuit();
    void radioGroupClamps();
    void keyboardReachesEveryControl();
    void keysPressTheFocuslessButtons_data();
    void keysPressTheFocuslessButtons();
    void f4InTheFieldListOpensItsList();
    void searchIniBesideAReadOnlyProgram();
};

void tst_GetdataDialog::windowAndControls()
{
    DialogFixture f;
    f.Show();
    TFrmgetdata* d = f.Dialog;
    QCOMPARE(d->size(), QSize(784, 441));
    QCOMPARE(d->windowTitle(), QStringLiteral("資料查詢擷取"));
    QVERIFY(d->isWindow());
    QVERIFY(!d->parentWidget());
    QCOMPARE(d->Panel1->height(), 121);
    QCOMPARE(d->Panel2->height(), 41);
    QCOMPARE(d->Panel3->width(), 17);
    QCOMPARE(d->Panel4->width(), 20);
    for (QFrame* panel : {d->Panel1, d->Panel2, d->Panel3, d->Panel4, d->Panel5})
        QCOMPARE(panel->palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(d->font().pixelSize(), 12);
    QCOMPARE(d->Panel1->font().pixelSize(), 13);
    QCOMPARE(d->Label1->text(), QStringLiteral("搜尋欄位選擇"));
    QCOMPARE(d->Label1->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QCOMPARE(d->RadioGroup1->Items(), (QStringList{"完全", "字首", "其中有"}));
    QCOMPARE(d->RadioGroup1->Columns(), 3);
    QCOMPARE(d->RadioGroup2->Columns(), 2);
    QCOMPARE(d->SpeedButton3->Caption(), QStringLiteral("加入條件"));
    QCOMPARE(d->SpeedButton1->Caption(), QStringLiteral("開始尋找"));
    QCOMPARE(d->SpeedButton2->Caption(), QStringLiteral("條件重設"));
    QCOMPARE(d->SpeedButton2->Hint(), QStringLiteral("重設條件"));
    QCOMPARE(d->SpeedButton4->text(), QStringLiteral("全選"));
    QCOMPARE(d->BTCMDOK->text(), QStringLiteral("確定&Y"));
    QCOMPARE(d->BDCMDNOT->text(), QStringLiteral("取消&C"));
    QVERIFY(!d->SpeedButton1->Glyph().isNull());
    QVERIFY(!d->BTCMDOK->icon().isNull());
    QVERIFY(!d->ComboBox2->isVisible());
    QVERIFY(d->DBGrid1->isVisible());
    QCOMPARE(d->focusWidget(), d->Edit1);

    struct Nav {
        TDBSpeedButton* Button;
        TDBButtonType Type;
        TDBBDisableReason End;
        QString Caption;
        QString Hint;
    };
    const QList<Nav> navigation{
        {d->dbSBtnFirst, TDBButtonType::nbFirst, TDBBDisableReason::drBOF, "首筆", "首筆記錄"},
        {d->dbSBtnPrior, TDBButtonType::nbPrior, TDBBDisableReason::drBOF, "前筆", "前筆記錄"},
        {d->dbSBtnNext, TDBButtonType::nbNext, TDBBDisableReason::drEOF, "次筆", "次筆記錄"},
        {d->dbSBtnLast, TDBButtonType::nbLast, TDBBDisableReason::drEOF, "末筆", "末筆記錄"},
    };
    for (const Nav& nav : navigation) {
        QCOMPARE(nav.Button->DataButtonType(), nav.Type);
        QCOMPARE(nav.Button->DisableReasons(),
                 (TDBBDisableReasons{nav.End, TDBBDisableReason::drEditing,
                                     TDBBDisableReason::drEmpty}));
        QCOMPARE(nav.Button->Caption(), nav.Caption);
        QCOMPARE(nav.Button->Hint(), nav.Hint);
        QCOMPARE(nav.Button->Layout(), TButtonLayout::blGlyphTop);
        QVERIFY(nav.Button->RuntimeEnabled());
        QCOMPARE(nav.Button->DataSource(), &f.Source);
    }
    QCOMPARE(d->SearchEdit1->DataSource(), &f.Source);
    QCOMPARE(d->SearchEdit1->DataField(), QStringLiteral("PROD_NAME"));
    QCOMPARE(d->DBGrid1->DataSource(), &f.Source);
}

void tst_GetdataDialog::componentsAndGridSettings()
{
    DialogFixture f;
    TFrmgetdata* d = f.Dialog;
    QCOMPARE(d->DataSetProvider1->DataSet(), d->SQLDataSet1);
    QVERIFY(d->DataSetProvider1->Options().Contains(TProviderOption::poAllowCommandText));
    QCOMPARE(d->CDS_Query->Provider(), d->DataSetProvider1);
    QCOMPARE(d->DS_SQL->DataSet(), d->CDS_SQL);
    QCOMPARE(d->DBGridSQL->DataSource(), d->DS_SQL);
    QVERIFY(d->DBGridSQL->ReadOnly());
    QVERIFY(!d->DBGridSQL->Options().Contains(TDBGridOption::dgTitles));

    TSelectGrid* g = d->DBGrid1;
    using enum TDBGridOption;
    QVERIFY(g->ReadOnly());
    QCOMPARE(g->Options(),
             (TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                             dgRowLines, dgTabs, dgRowSelect, dgConfirmDelete, dgCancelOnExit,
                             dgWordWrap, dgMultiSelect}));
    QVERIFY(g->TitleButtons());
    QCOMPARE(g->TitleAlignment(), TAlignment::taLeftJustify);
    QCOMPARE(g->TitleLines(), 1);
    QCOMPARE(g->TitleColor(), TColor::clBtnFace);
    QVERIFY(g->ShowHorzScrollBar());
    QCOMPARE(g->BorderStyle(), TGridBorderStyle::bsNone);
    QVERIFY(g->HideAllLines());
    QCOMPARE(g->PaintOptions().BackgroundDrawStyle(), TBackgroundDrawStyle::bdsStretch);
    QCOMPARE(g->PaintOptions().AlternatingRowColor(), TColor(8454143));
    QVERIFY(!g->PaintOptions().BackgroundBitmap().isNull());
    QCOMPARE(g->PaintOptions().BackgroundOptions(),
             (TBackgroundOptions{TBackgroundOption::coFillDataCells,
                                 TBackgroundOption::coBlendFixedColumn,
                                 TBackgroundOption::coBlendActiveRecord,
                                 TBackgroundOption::coBlendAlternatingRow}));
    QCOMPARE(g->TitleFont().pixelSize(), 12);
}

namespace
{
// What the shared settings set on a grid, as text.
QStringList GridSettings(const TSelectGrid& g)
{
    const TSelectGridPaintOptions& p = g.PaintOptions();
    QStringList s;
    s << QString::number(g.ReadOnly()) << QString::number(g.Options().Bits())
      << QString::number(g.TitleButtons()) << QString::number(int(g.TitleAlignment()))
      << QString::number(g.TitleLines()) << QString::number(quint32(g.TitleColor()))
      << QString::number(g.ShowHorzScrollBar()) << QString::number(int(g.BorderStyle()))
      << QString::number(g.HideAllLines()) << QString::number(int(p.BackgroundDrawStyle()))
      << QString::number(quint32(p.AlternatingRowColor()))
      << QString::number(p.BackgroundOptions().Bits())
      << QString::number(p.BackgroundBitmap() == TGridPictures::SelectGridBackground())
      << g.font().families().join(u',') << QString::number(g.font().pixelSize())
      << g.TitleFont().families().join(u',') << QString::number(g.TitleFont().pixelSize());
    return s;
}
} // namespace

// One place sets the result grid up, for the dialog and the grid's own tests
// and demo alike.
void tst_GetdataDialog::resultGridTakesTheSharedSettings()
{
    DialogFixture f;
    TSelectGrid shared;
    QueryDialogSettings::Apply(shared);
    QCOMPARE(GridSettings(*f.Dialog->DBGrid1), GridSettings(shared));
    QVERIFY(f.Dialog->DBGrid1->testAttribute(Qt::WA_SetFont));
}

void tst_GetdataDialog::createReplacesSqlLines()
{
    auto before = SqlLines;
    SqlLines->Add("SELECT earlier");
    DialogFixture f;
    QVERIFY(SqlLines != before);
    QCOMPARE(SqlLines->Count(), 0);
    QCOMPARE(f.Dialog->GetSearchSql(), QString());
    QCOMPARE(before->Count(), 1); // the earlier list is whole for whoever holds it
}

void tst_GetdataDialog::firstUseWithoutIni()
{
    DialogFixture f;
    QVERIFY(!QFile::exists(f.IniPath()));
    RememberedFieldIndex = 0;
    f.Show();
    QCOMPARE(f.Dialog->RadioGroup1->ItemIndex(), 2);
    QCOMPARE(f.Dialog->Edit1->text(), QString());
    QCOMPARE(f.Dialog->ComboBox1->ItemIndex(), 0);
    QCOMPARE(f.Dialog->ComboBox1->count(), 3);
    QCOMPARE(f.Dialog->ComboBox1->itemText(0), QStringLiteral("商品編號"));
    QCOMPARE(f.Dialog->ComboBox2->itemText(0), QStringLiteral("PROD_ID"));
    f.Dialog->BTCMDOK->click();
    TIniFile ini(f.IniPath());
    QCOMPARE(ini.ReadSection("PRODUCT"), (QStringList{"Combo", "Radio", "Edit"}));
    QCOMPARE(ini.ReadString("PRODUCT", "Combo", "?"), QStringLiteral("0"));
    QCOMPARE(ini.ReadString("PRODUCT", "Radio", "?"), QStringLiteral("2"));
    QCOMPARE(ini.ReadString("PRODUCT", "Edit", "?"), QString());
}

void tst_GetdataDialog::iniRead_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<int>("radio");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("combo");
    QTest::addColumn<int>("remembered");
    QTest::newRow("all keys") << "[PRODUCT]\nCombo=2\nRadio=1\nEdit=abc\n" << 1 << "abc" << 2 << 2;
    QTest::newRow("section missing") << "[OTHER]\nCombo=2\nRadio=1\nEdit=x\n" << 0 << "" << 0 << 0;
    QTest::newRow("radio 7") << "[PRODUCT]\nRadio=7\n" << 2 << "" << 0 << 0;
    QTest::newRow("radio -5") << "[PRODUCT]\nRadio=-5\n" << -1 << "" << 0 << 0;
    QTest::newRow("radio not a number") << "[PRODUCT]\nRadio=two\n" << 0 << "" << 0 << 0;
    QTest::newRow("combo past the list") << "[PRODUCT]\nCombo=3\n" << 0 << "" << -1 << 3;
    QTest::newRow("combo -1") << "[PRODUCT]\nCombo=-1\n" << 0 << "" << -1 << -1;
    QTest::newRow("other caller's section")
        << "[SUPPLIER]\nCombo=1\n[product]\ncombo=1\nradio=0\nedit=中文\n"
        << 0 << "中文" << 1 << 1;
}

void tst_GetdataDialog::iniRead()
{
    QFETCH(QString, content);
    QFETCH(int, radio);
    QFETCH(QString, edit);
    QFETCH(int, combo);
    QFETCH(int, remembered);
    DialogFixture f;
    QFile file(f.IniPath());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content.toUtf8());
    file.close();
    RememberedFieldIndex = 1;
    f.Show();
    QCOMPARE(f.Dialog->RadioGroup1->ItemIndex(), radio);
    QCOMPARE(f.Dialog->Edit1->text(), edit);
    QCOMPARE(f.Dialog->ComboBox1->ItemIndex(), combo);
    QCOMPARE(RememberedFieldIndex, remembered);
}

void tst_GetdataDialog::iniWrittenAfterCancel()
{
    DialogFixture f;
    {
        TIniFile ini(f.IniPath());
        ini.WriteString("OTHER", "Keep", "me");
    }
    f.Show();
    f.Dialog->ComboBox1->SetItemIndex(1);
    f.Dialog->RadioGroup1->SetItemIndex(0);
    f.Dialog->Edit1->setText("沙士");
    DialogAccepted = true;
    f.Dialog->BDCMDNOT->click();
    QCOMPARE(DialogAccepted, false);
    TIniFile ini(f.IniPath());
    QCOMPARE(ini.ReadInteger("PRODUCT", "Combo", 99), 1);
    QCOMPARE(ini.ReadInteger("PRODUCT", "Radio", 99), 0);
    QCOMPARE(ini.ReadString("PRODUCT", "Edit", "?"), QStringLiteral("沙士"));
    QCOMPARE(ini.ReadString("OTHER", "Keep", "?"), QStringLiteral("me"));

    // Nothing selected writes -1.
    DialogFixture g;
    g.Show();
    g.Dialog->ComboBox1->SetItemIndex(-1);
    g.Dialog->RadioGroup1->SetItemIndex(-1);
    g.Dialog->BDCMDNOT->click();
    TIniFile ini2(g.IniPath());
    QCOMPARE(ini2.ReadInteger("PRODUCT", "Combo", 99), -1);
    QCOMPARE(ini2.ReadInteger("PRODUCT", "Radio", 99), -1);
}

void tst_GetdataDialog::activationRunsOnce()
{
    DialogFixture f;
    f.Show();
    f.Dialog->hide();
    f.Show();
    QCOMPARE(f.Dialog->ComboBox1->count(), 3);
}

void tst_GetdataDialog::activationFailureStillSelectsField()
{
    DialogFixture f(false);
    f.Target.FieldDefs().Add("ONLY", TFieldType::ftString, 5);
    f.Target.CreateDataSet();
    {
        TIniFile ini(f.IniPath());
        ini.WriteString("PRODUCT", "Radio", "1");
    }
    f.Show();
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes[0].Kind, QStringLiteral("error"));
    QCOMPARE(f.Dialog->RadioGroup1->ItemIndex(), 1); // step 1 went through
    QCOMPARE(f.Dialog->ComboBox1->ItemIndex(), -1);
    QVERIFY(f.Dialog->isVisible());
}

void tst_GetdataDialog::executeReturnsAccepted_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("before");
    QTest::addColumn<bool>("result");
    QTest::newRow("ok") << "ok" << false << true;
    QTest::newRow("cancel") << "cancel" << true << false;
    QTest::newRow("esc in field list, after ok") << "esc" << true << true;
    QTest::newRow("esc in field list, after cancel") << "esc" << false << false;
    QTest::newRow("window frame, after ok") << "frame" << true << true;
    QTest::newRow("window frame, after cancel") << "frame" << false << false;
}

void tst_GetdataDialog::executeReturnsAccepted()
{
    QFETCH(QString, how);
    QFETCH(bool, before);
    QFETCH(bool, result);
    DialogFixture f;
    DialogAccepted = before;
    TFrmgetdata* d = f.Dialog;
    bool ran = false;
    QTimer::singleShot(0, d, [&] {
        ran = true;
        QVERIFY(d->isVisible());
        if (how == "ok")
            d->BTCMDOK->click();
        else if (how == "cancel")
            d->BDCMDNOT->click();
        else if (how == "esc")
            QTest::keyClick(d->ComboBox1, Qt::Key_Escape);
        else if (how == "frame")
            d->close();
    });
    // A gesture that failed to close must not hang the run.
    QTimer::singleShot(5000, d, [d] { d->reject(); });
    QCOMPARE(d->Execute(), result);
    QVERIFY(ran);
    QCOMPARE(DialogAccepted, result);
    QVERIFY(!d->isVisible());
    // Still usable inside the same handler, freed once back in the loop.
    QVERIFY(!f.Dialog.isNull());
    QCOMPARE(d->GetSelectedValues("PROD_ID"), QString());
    RunDeferredDeletes();
    QVERIFY(f.Dialog.isNull());
    QVERIFY(QFile::exists(f.IniPath()));
}

void tst_GetdataDialog::enterOnAFocusedButtonPressesIt_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("result");
    QTest::newRow("確定") << "BTCMDOK" << true;
    QTest::newRow("取消") << "BDCMDNOT" << false;
}

void tst_GetdataDialog::enterOnAFocusedButtonPressesIt()
{
    QFETCH(QString, button);
    QFETCH(bool, result);
    DialogFixture f;
    DialogAccepted = !result;
    TFrmgetdata* d = f.Dialog;
    QTimer::singleShot(0, d, [&] {
        auto* target = d->findChild<QPushButton*>(button);
        QVERIFY(target);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Return);
    });
    QTimer::singleShot(5000, d, [d] { d->reject(); });
    QCOMPARE(d->Execute(), result);
    QCOMPARE(DialogAccepted, result);
}

namespace
{

// Records whether the dialog was still on screen when a box came up.
struct BoxOverDialog : TRecordingMessages {
    QPointer<QWidget> Dialog;
    QList<bool> DialogVisible;
    void ShowError(const QString& caption, const QString& text) override
    {
        DialogVisible.append(Dialog && Dialog->isVisible());
        TRecordingMessages::ShowError(caption, text);
    }
    void ShowMessage(const QString& text) override
    {
        DialogVisible.append(Dialog && Dialog->isVisible());
        TRecordingMessages::ShowMessage(text);
    }
};

} // namespace

void tst_GetdataDialog::iniWriteFailureShownOnceClosed()
{
    DialogFixture f;
    // A folder where the file should be: nothing can be written there.
    QVERIFY(QDir().mkpath(f.IniPath()));
    BoxOverDialog boxes;
    boxes.Dialog = f.Dialog.data();
    TFrmgetdata* d = f.Dialog;
    QTimer::singleShot(0, d, [d] { d->BTCMDOK->click(); });
    QTimer::singleShot(5000, d, [d] { d->reject(); });
    QVERIFY(d->Execute());
    QCOMPARE(boxes.Texts().size(), 1);
    QVERIFY2(boxes.Texts().first().contains(QStringLiteral("Unable to write to")),
             qPrintable(boxes.Texts().first()));
    QCOMPARE(boxes.DialogVisible, QList<bool>{false});
    QCOMPARE(d->ColumnList, QString());
}

void tst_GetdataDialog::escOutsideFieldListDoesNotClose()
{
    DialogFixture f;
    f.Show();
    QTest::keyClick(f.Dialog->Edit1, Qt::Key_Escape);
    QTest::keyClick(f.Dialog->DBGrid1, Qt::Key_Escape);
    QVERIFY(f.Dialog->isVisible());
    QVERIFY(!QFile::exists(f.IniPath()));
}

void tst_GetdataDialog::columnListEmptiedAtClose()
{
    DialogFixture f;
    f.Show();
    QVERIFY(!f.Dialog->ColumnList.isEmpty());
    f.Dialog->BTCMDOK->click();
    QCOMPARE(f.Dialog->ColumnList, QString());
}

void tst_GetdataDialog::releasedOnlyAfterHandler()
{
    DialogFixture f;
    f.Show();
    f.Dialog->BTCMDOK->click();
    QVERIFY(!f.Dialog.isNull());
    QCOMPARE(Frmgetdata.data(), f.Dialog.data());
    RunDeferredDeletes();
    QVERIFY(f.Dialog.isNull());
    QVERIFY(Frmgetdata.isNull());
}

void tst_GetdataDialog::neverShownInstanceFreedAtQuit()
{
    CreateDialog();
    QPointer<TFrmgetdata> dialog = Frmgetdata;
    QVERIFY(!dialog.isNull());
    // What the end of the application's event loop announces.
    QVERIFY(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit",
                                      Qt::DirectConnection));
    QVERIFY(dialog.isNull());
}

void tst_GetdataDialog::radioGroupClamps()
{
    TRadioGroup group;
    group.SetItems({"a", "b", "c"});
    QCOMPARE(group.ItemIndex(), -1);
    group.SetItemIndex(1);
    QCOMPARE(group.ItemIndex(), 1);
    QVERIFY(group.Button(1)->isChecked());
    group.SetItemIndex(7);
    QCOMPARE(group.ItemIndex(), 2);
    QCOMPARE(group.SelectedText(), QStringLiteral("c"));
    group.SetItemIndex(-5);
    QCOMPARE(group.ItemIndex(), -1);
    QCOMPARE(group.SelectedText(), QString());
    for (int i = 0; i < 3; ++i)
        QVERIFY(!group.Button(i)->isChecked());
    group.Button(0)->click();
    QCOMPARE(group.ItemIndex(), 0);
    group.SetItems({"x"});
    QCOMPARE(group.ItemIndex(), -1);
    QCOMPARE(group.Items(), QStringList{"x"});
}

namespace
{
// Shown and active, so that its keys reach it.
bool ShowActive(DialogFixture& f)
{
    f.Show();
    f.Dialog->activateWindow();
    return QTest::qWaitForWindowActive(f.Dialog);
}
} // namespace

void tst_GetdataDialog::keyboardReachesEveryControl()
{
    DialogFixture f;
    QVERIFY(ShowActive(f));
    TFrmgetdata* d = f.Dialog;
    // Every control of the dialog, and how the keyboard reaches it: the speed
    // buttons by their keys, the others by Tab, out of a grid by Ctrl+Tab.
    const QList<QWidget*> controls{d->ComboBox1, d->RadioGroup1, d->Edit1,        d->RadioGroup2,
                                   d->DBGridSQL, d->DBGrid1,     d->SpeedButton4, d->SearchEdit1,
                                   d->BTCMDOK,   d->BDCMDNOT};
    QCOMPARE(KeyboardWalk::FocusableOutside(d, controls), QStringList());
    QCOMPARE(KeyboardWalk::ButtonsWithoutKey(d), QStringList());
    QCOMPARE(KeyboardWalk::SharedKeys(d), QStringList());
    const QStringList order{"ComboBox1", "RadioGroup1",  "Edit1",       "RadioGroup2", "DBGridSQL",
                            "DBGrid1",   "SpeedButton4", "SearchEdit1", "BTCMDOK",     "BDCMDNOT"};
    d->ComboBox1->setFocus();
    QCOMPARE(KeyboardWalk::Walk(d, controls, true), order);
    d->BDCMDNOT->setFocus();
    QStringList backwards{"BDCMDNOT"};
    for (qsizetype i = order.size() - 2; i >= 0; --i)
        backwards << order[i];
    QCOMPARE(KeyboardWalk::Walk(d, controls, false), backwards);

    // Regression: the connector group, refilled after a condition is added,
    // stays where it stands in the order, whichever of its items is checked.
    f.Inputs(QStringLiteral("PROD_ID"), 0, QStringLiteral("A001"));
    d->SpeedButton3Click(d->SpeedButton3);
    QCOMPARE(d->RadioGroup2->Items().size(), 2);
    d->RadioGroup2->SetItemIndex(1);
    d->ComboBox1->setFocus();
    QCOMPARE(KeyboardWalk::Walk(d, controls, true), order);
}

void tst_GetdataDialog::keysPressTheFocuslessButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("combined");
    const QList<QPair<const char*, QKeyCombination>> keys{
        {"SpeedButton1", QKeyCombination(Qt::Key_F3)},
        {"SpeedButton3", QKeyCombination(Qt::Key_F4)},
        {"SpeedButton2", QKeyCombination(Qt::Key_F5)},
        {"dbSBtnFirst", Qt::ALT | Qt::Key_Home},
        {"dbSBtnPrior", Qt::ALT | Qt::Key_PageUp},
        {"dbSBtnNext", Qt::ALT | Qt::Key_PageDown},
        {"dbSBtnLast", Qt::ALT | Qt::Key_End},
    };
    for (const auto& [button, key] : keys) {
        QTest::newRow(QByteArray(button) + " from the result grid")
            << QString::fromLatin1(button) << key.toCombined();
    }
}

void tst_GetdataDialog::keysPressTheFocuslessButtons()
{
    QFETCH(QString, button);
    QFETCH(int, combined);
    const QKeyCombination key = QKeyCombination::fromCombined(combined);
    DialogFixture f;
    QVERIFY(ShowActive(f));
    TFrmgetdata* d = f.Dialog;
    // The middle row, so that every navigation button is enabled.
    f.Target.First();
    f.Target.Next();
    auto* pressed = d->findChild<QAbstractButton*>(button);
    QVERIFY(pressed);
    QVERIFY(pressed->isEnabled());
    QCOMPARE(pressed->shortcut(), QKeySequence(key));
    QSignalSpy clicks(pressed, &QAbstractButton::clicked);
    d->DBGrid1->setFocus();
    QTest::keyClick(d->DBGrid1, key.key(), key.keyboardModifiers());
    QTRY_COMPARE(clicks.count(), 1);
}

// In the field list F4 keeps a combo box's own meaning, opening its list;
// elsewhere it still adds a condition.
void tst_GetdataDialog::f4InTheFieldListOpensItsList()
{
    DialogFixture f;
    QVERIFY(ShowActive(f));
    TFrmgetdata* d = f.Dialog;
    QSignalSpy adds(d->SpeedButton3, &QAbstractButton::clicked);
    d->ComboBox1->setFocus();
    QTest::keyClick(d->ComboBox1, Qt::Key_F4);
    QTRY_VERIFY(d->ComboBox1->view()->isVisible());
    QCOMPARE(adds.count(), 0);
    d->ComboBox1->hidePopup();
    d->Edit1->setFocus();
    QTest::keyClick(d->Edit1, Qt::Key_F4);
    QTRY_COMPARE(adds.count(), 1);
}

// Beside an installed, read-only program Search.ini is still read from the
// program's folder; the first write goes to the user's own copy, made from
// it, which is read from then on.
void tst_GetdataDialog::searchIniBesideAReadOnlyProgram()
{
    QTemporaryDir program;
    QTemporaryDir user;
    const TSearchIniLocation writable{program.path(), true, user.filePath(QStringLiteral("own"))};
    QCOMPARE(writable.ReadPath(), program.filePath(QStringLiteral("Search.ini")));
    QCOMPARE(writable.WritePath(), program.filePath(QStringLiteral("Search.ini")));

    {
        TIniFile shipped(program.filePath(QStringLiteral("Search.ini")));
        shipped.WriteString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"),
                            QStringLiteral("綠茶"));
        shipped.WriteString(QStringLiteral("OTHER"), QStringLiteral("Edit"),
                            QStringLiteral("kept"));
    }
    const TSearchIniLocation readOnly{program.path(), false, user.filePath(QStringLiteral("own"))};
    QCOMPARE(readOnly.ReadPath(), program.filePath(QStringLiteral("Search.ini")));
    const QString own = readOnly.WritePath();
    QCOMPARE(own, user.filePath(QStringLiteral("own/Search.ini")));
    TIniFile(own).WriteString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"),
                              QStringLiteral("紅茶"));
    QCOMPARE(readOnly.ReadPath(), own);
    const TIniFile read(readOnly.ReadPath());
    QCOMPARE(read.ReadString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"), QString()),
             QStringLiteral("紅茶"));
    QCOMPARE(read.ReadString(QStringLiteral("OTHER"), QStringLiteral("Edit"), QString()),
             QStringLiteral("kept"));
    // The program's own file is left as shipped.
    QCOMPARE(TIniFile(program.filePath(QStringLiteral("Search.ini")))
                 .ReadString(QStringLiteral("PRODUCT"), QStringLiteral("Edit"), QString()),
             QStringLiteral("綠茶"));
    QCOMPARE(readOnly.WritePath(), own);
}

QTEST_MAIN(tst_GetdataDialog)
#include "tst_getdatadialog.moc"
