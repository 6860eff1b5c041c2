#include "GetdataFixture.h"

// The condition list: adding, the connector, the quoting of values, reset,
// the composed statement and the keys of the value edit and the field list.
class tst_GetdataConditions : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DialogAccepted = false;
        RememberedFieldIndex = 0;
    }
    void showStepBuildsEmptyTable();
    void firstIsWhereThenAndOr();
    void valueQuoting_data();
    void valueQuoting();
    void quotedValuePastTwentyBytesRefused_data();
    void quotedValuePastTwentyBytesRefused();
    void noFieldOrNoModeGivesEmptyPieces();
    void resetEmptiesListAndAddsNames();
    void resetShowsTargetAgain();
    void twoResetsTripleNamesAndAnyCopyStoresName();
    void compositionLinesExactly();
    void emptyColumnListAndOrderClause();
    void searchOnEmptyListAddsCurrentInputs();
    void enterInValueEdit_data();
    void enterInValueEdit();
    void enterInEmptyValueEditDoesNothing();
    void enterWithARefusedValueKeepsTheCondition();
    void valueWithNulRefused_data();
    void valueWithNulRefused();
    void enterInFieldListFocusesResultGrid();
    void escInFieldListClosesKeepingAccepted();
};

void tst_GetdataConditions::showStepBuildsEmptyTable()
{
    DialogFixture f;
    f.Show();
    TClientDataSet* table = f.Dialog->CDS_SQL;
    QVERIFY(table->Active());
    QStringList names;
    for (const TField* field : table->Fields())
        names << field->FieldName() + QString::number(field->Size());
    QCOMPARE(names, (QStringList{"recid0", "SQL_WHERE20", "Col_Name50", "Col_DisplayName50",
                                 "SQL_GEN20", "SCH_VALUE20"}));
    QCOMPARE(table->IndexDefs().Count(), 1);
    QCOMPARE(table->IndexDefs()[0].Name, QStringLiteral("IntIndex"));
    QCOMPARE(table->IndexDefs()[0].Fields, QStringLiteral("recid"));
    QVERIFY(table->IndexFieldNames().isEmpty());
    QCOMPARE(f.Dialog->RadioGroup2->Items(), QStringList{"首要"});
    QCOMPARE(f.Dialog->RadioGroup2->ItemIndex(), 0);
    TDBGridColumns& columns = f.Dialog->DBGridSQL->Columns();
    QCOMPARE(columns.Count(), 6);
    QCOMPARE(columns[0]->Width(), 20);
    QCOMPARE(columns[1]->Width(), 80);
    QCOMPARE(columns[2]->Width(), 80);
    QCOMPARE(columns[3]->Width(), 80);
    QCOMPARE(columns[4]->Width(), 80);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(columns[i]->Visible(), i >= 3);
}

void tst_GetdataConditions::firstIsWhereThenAndOr()
{
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_NAME", 2, "abc");
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Dialog->RadioGroup2->Items(), (QStringList{"加上", "或者"}));
    QCOMPARE(f.Dialog->RadioGroup2->ItemIndex(), 0);
    f.Dialog->SpeedButton3->Click();
    f.Dialog->RadioGroup2->SetItemIndex(1);
    f.Inputs("PROD_ID", 0, "A001");
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Conditions(), (QStringList{
                                 "1|WHERE|PROD_NAME|品名| like |'%abc%'",
                                 "2|AND|PROD_NAME|品名| like |'%abc%'",
                                 "3|OR|PROD_ID|商品編號| = |'A001'",
                             }));
    // The inputs stay for the next condition.
    QCOMPARE(f.Dialog->Edit1->text(), QStringLiteral("A001"));
    QCOMPARE(f.Dialog->RadioGroup1->ItemIndex(), 0);
    QVERIFY(f.Boxes.Boxes.isEmpty());
}

void tst_GetdataConditions::valueQuoting_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("gen");
    QTest::addColumn<QString>("literal");
    QTest::newRow("exact") << 0 << "abc"
                           << " = "
                           << "'abc'";
    QTest::newRow("prefix") << 1 << "abc"
                            << " like "
                            << "'abc%'";
    QTest::newRow("contains") << 2 << "abc"
                              << " like "
                              << "'%abc%'";
    QTest::newRow("exact empty") << 0 << ""
                                 << " = "
                                 << "''";
    QTest::newRow("contains empty") << 2 << ""
                                    << " like "
                                    << "'%%'";
    QTest::newRow("kept as typed") << 0 << " Ab c "
                                   << " = "
                                   << "' Ab c '";
    QTest::newRow("quote doubled") << 0 << "O'Neil"
                                   << " = "
                                   << "'O''Neil'";
    QTest::newRow("quote doubled prefix") << 1 << "'"
                                          << " like "
                                          << "'''%'";
    QTest::newRow("chinese") << 2 << "沙士"
                             << " like "
                             << "'%沙士%'";
    QTest::newRow("16 ascii fill 20 bytes") << 2 << "abcdefghijklmnop"
                                            << " like "
                                            << "'%abcdefghijklmnop%'";
    QTest::newRow("8 chinese fill 20 bytes") << 1 << "一二三四五六七八"
                                             << " like "
                                             << "'一二三四五六七八%'";
}

void tst_GetdataConditions::valueQuoting()
{
    QFETCH(int, mode);
    QFETCH(QString, value);
    QFETCH(QString, gen);
    QFETCH(QString, literal);
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_NAME", mode, value);
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Boxes.Texts(), QStringList());
    QCOMPARE(f.Conditions(),
             QStringList{QStringLiteral("1|WHERE|PROD_NAME|品名|%1|%2").arg(gen, literal)});
}

void tst_GetdataConditions::quotedValuePastTwentyBytesRefused_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("value");
    QTest::newRow("17 ascii contains") << 2 << "abcdefghijklmnopq";
    QTest::newRow("19 ascii exact") << 0 << "abcdefghijklmnopqrs";
    QTest::newRow("quote doubling pushes past") << 0 << "abcdefghijklmnop'r";
    QTest::newRow("10 chinese exact") << 0 << "一二三四五六七八九十";
}

void tst_GetdataConditions::quotedValuePastTwentyBytesRefused()
{
    QFETCH(int, mode);
    QFETCH(QString, value);
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_NAME", mode, value);
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Conditions(), QStringList());
    QCOMPARE(f.Dialog->RadioGroup2->Items(), QStringList{"首要"});
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes[0].Kind, QStringLiteral("error"));
    QVERIFY2(f.Boxes.Boxes[0].Text.contains(QStringLiteral("太長")),
             qPrintable(f.Boxes.Boxes[0].Text));
    // The search refuses it as well: nothing is composed, nothing runs.
    f.Dialog->SpeedButton1->Click();
    QCOMPARE(f.Conditions(), QStringList());
    QCOMPARE(f.Dialog->GetSearchSql(), QString());
    QVERIFY(!f.Dialog->CDS_Query->Active());
}

void tst_GetdataConditions::noFieldOrNoModeGivesEmptyPieces()
{
    DialogFixture f;
    f.Show();
    f.Dialog->ComboBox1->SetItemIndex(-1);
    f.Dialog->Edit1->setText("x");
    f.Dialog->SpeedButton3->Click();
    f.Inputs("PROD_ID", -1, "x");
    QCOMPARE(f.Dialog->RadioGroup1->ItemIndex(), -1);
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Conditions(), (QStringList{"1|WHERE||| like |'%x%'", "2|AND|PROD_ID|商品編號||"}));
}

void tst_GetdataConditions::resetEmptiesListAndAddsNames()
{
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_NAME", 1, "abc");
    f.Dialog->SpeedButton3->Click();
    f.Dialog->SpeedButton3->Click();
    f.Dialog->SpeedButton2->Click();
    QCOMPARE(f.Conditions(), QStringList());
    QCOMPARE(f.Dialog->RadioGroup2->Items(), QStringList{"首要"});
    QCOMPARE(f.Dialog->RadioGroup2->ItemIndex(), 0);
    QCOMPARE(f.Dialog->Edit1->text(), QString());
    QCOMPARE(f.Dialog->RadioGroup1->ItemIndex(), 1);
    QCOMPARE(f.Dialog->ComboBox1->ItemIndex(), 1);
    QCOMPARE(f.Dialog->ComboBox1->count(), 6);
    QCOMPARE(f.Dialog->ComboBox2->count(), 6);
    f.Dialog->Edit1->setText("x");
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Conditions(), QStringList{"1|WHERE|PROD_NAME|品名| like |'x%'"});
}

void tst_GetdataConditions::resetShowsTargetAgain()
{
    DialogFixture f;
    f.Show();
    TClientDataSet other;
    other.FieldDefs().Add("PROD_NAME", TFieldType::ftString, 5);
    other.CreateDataSet();
    f.Source.SetDataSet(&other);
    f.Dialog->SpeedButton2->Click();
    QCOMPARE(f.Source.DataSet(), &f.Target);
    QCOMPARE(f.Dialog->DBGrid1->DataSource(), &f.Source);
}

void tst_GetdataConditions::twoResetsTripleNamesAndAnyCopyStoresName()
{
    DialogFixture f;
    f.Show();
    f.Dialog->SpeedButton2->Click();
    f.Dialog->SpeedButton2->Click();
    QCOMPARE(f.Dialog->ComboBox1->count(), 9);
    QStringList names;
    for (int i = 0; i < 9; ++i) {
        names << f.Dialog->ComboBox2->itemText(i);
        QCOMPARE(f.Dialog->ComboBox1->itemText(i),
                 (QStringList{"商品編號", "品名", "售價"}).at(i % 3));
    }
    QCOMPARE(names.join(','), QStringLiteral("PROD_ID,PROD_NAME,SALE_PRICE,PROD_ID,PROD_NAME,"
                                             "SALE_PRICE,PROD_ID,PROD_NAME,SALE_PRICE"));
    f.Dialog->ComboBox1->SetItemIndex(7);
    f.Dialog->RadioGroup1->SetItemIndex(0);
    f.Dialog->Edit1->setText("v");
    f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Conditions(), QStringList{"1|WHERE|PROD_NAME|品名| = |'v'"});
}

void tst_GetdataConditions::compositionLinesExactly()
{
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_NAME", 2, "abc");
    f.Dialog->SpeedButton3->Click();
    f.Dialog->RadioGroup2->SetItemIndex(1);
    f.Inputs("PROD_ID", 0, "A'1");
    f.Dialog->SpeedButton3->Click();
    // No connection: the statement is composed, then the open fails.
    f.Dialog->SpeedButton1->Click();
    QCOMPARE(SqlLines->Lines(), (QStringList{
                                    "SELECT PROD_ID,PROD_NAME,SALE_PRICE  FROM ",
                                    "PRODUCT ",
                                    " WHERE PROD_NAME  like  '%abc%' ",
                                    " OR PROD_ID  =  'A''1' ",
                                    " ORDER BY PROD_ID",
                                }));
    QCOMPARE(f.Dialog->GetSearchSql(),
             QStringLiteral("SELECT PROD_ID,PROD_NAME,SALE_PRICE  FROM \r\nPRODUCT \r\n"
                            " WHERE PROD_NAME  like  '%abc%' \r\n OR PROD_ID  =  'A''1' \r\n"
                            " ORDER BY PROD_ID\r\n"));
    QCOMPARE(f.Dialog->CDS_Query->CommandText(), f.Dialog->GetSearchSql());
    QCOMPARE(f.Boxes.Boxes.size(), 1);
    QCOMPARE(f.Boxes.Boxes[0].Kind, QStringLiteral("error"));
    QVERIFY(!f.Dialog->CDS_Query->Active());
}

void tst_GetdataConditions::emptyColumnListAndOrderClause()
{
    DialogFixture f;
    f.Show();
    f.Dialog->ColumnList.clear();
    f.Dialog->OrderClause.clear();
    f.Inputs("PROD_NAME", 2, "abc");
    f.Dialog->SpeedButton1->Click();
    QCOMPARE(f.Dialog->ColumnList, QStringLiteral(" * "));
    QCOMPARE(f.Dialog->GetSearchSql(),
             QStringLiteral("SELECT  *  FROM \r\nPRODUCT \r\n WHERE PROD_NAME  like  '%abc%' "
                            "\r\n\r\n"));
}

void tst_GetdataConditions::searchOnEmptyListAddsCurrentInputs()
{
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_ID", 1, "A0");
    f.Dialog->SpeedButton1->Click();
    QCOMPARE(f.Conditions(), QStringList{"1|WHERE|PROD_ID|商品編號| like |'A0%'"});
    QCOMPARE(f.Dialog->RadioGroup2->Items(), (QStringList{"加上", "或者"}));
}

void tst_GetdataConditions::enterInValueEdit_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("conditionLines");
    const QStringList two{"1|WHERE|PROD_ID|商品編號| like |'%old%'",
                          "2|AND|PROD_ID|商品編號| like |'%old%'"};
    const QString twoLines = " WHERE PROD_ID  like  '%old%' | AND PROD_ID  like  '%old%' ";
    QTest::newRow("none: the inputs")
        << 0 << "new" << QStringList{"1|WHERE|PROD_NAME|品名| = |'new'"}
        << " WHERE PROD_NAME  =  'new' ";
    QTest::newRow("one: replaced by the inputs")
        << 1 << "new" << QStringList{"1|WHERE|PROD_NAME|品名| = |'new'"}
        << " WHERE PROD_NAME  =  'new' ";
    QTest::newRow("two: kept, inputs ignored") << 2 << "new" << two << twoLines;
    // Inputs that could make no condition are ignored all the same.
    QTest::newRow("two: a value too long ignored") << 2 << "1234567890123456789" << two << twoLines;
    QTest::newRow("two: a value with NUL ignored")
        << 2 << QStringLiteral("ne") + QChar(0) + QStringLiteral("w") << two << twoLines;
}

void tst_GetdataConditions::enterInValueEdit()
{
    QFETCH(int, before);
    QFETCH(QString, value);
    QFETCH(QStringList, after);
    QFETCH(QString, conditionLines);
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_ID", 2, "old");
    for (int i = 0; i < before; ++i)
        f.Dialog->SpeedButton3->Click();
    f.Inputs("PROD_NAME", 0, value);
    QTest::keyClick(f.Dialog->Edit1, Qt::Key_Return);
    QCOMPARE(f.Conditions(), after);
    QCOMPARE(f.Dialog->RadioGroup2->Items(), (QStringList{"加上", "或者"}));
    QStringList lines = SqlLines->Lines();
    QCOMPARE(lines.mid(2, lines.size() - 3).join('|'), conditionLines);
    for (const QString& text : f.Boxes.Texts())
        QVERIFY2(!text.contains(QStringLiteral("搜尋值")), qPrintable(text));
    QVERIFY(f.Dialog->isVisible()); // Enter here never closes the dialog
}

void tst_GetdataConditions::enterWithARefusedValueKeepsTheCondition()
{
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_ID", 0, "old");
    f.Dialog->SpeedButton3->Click();
    // 17 characters and the contains mode's two percent signs and two quotes.
    f.Inputs("PROD_NAME", 2, "12345678901234567");
    QTest::keyClick(f.Dialog->Edit1, Qt::Key_Return);
    QCOMPARE(f.Conditions(), QStringList{"1|WHERE|PROD_ID|商品編號| = |'old'"});
    QCOMPARE(f.Dialog->RadioGroup2->Items(), (QStringList{"加上", "或者"}));
    QCOMPARE(f.Boxes.Texts().size(), 1);
    QVERIFY(f.Boxes.Texts().first().contains(QStringLiteral("太長")));
}

void tst_GetdataConditions::valueWithNulRefused_data()
{
    QTest::addColumn<bool>("byEnter");
    QTest::newRow("add button") << false;
    QTest::newRow("Enter") << true;
}

// Sent, the statement would be cut at the NUL and the database's message
// garbled: refused before anything is added or searched.
void tst_GetdataConditions::valueWithNulRefused()
{
    QFETCH(bool, byEnter);
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_NAME", 2, QStringLiteral("ab") + QChar(0) + QStringLiteral("c"));
    QVERIFY(f.Dialog->Edit1->text().contains(QChar(0)));
    if (byEnter)
        QTest::keyClick(f.Dialog->Edit1, Qt::Key_Return);
    else
        f.Dialog->SpeedButton3->Click();
    QCOMPARE(f.Conditions(), QStringList());
    QCOMPARE(f.Dialog->GetSearchSql(), QString());
    QVERIFY(!f.Dialog->CDS_Query->Active());
    QCOMPARE(f.Boxes.Texts(),
             QStringList{ErrorBoxText(QStringLiteral("搜尋值不可含有 NUL 字元（代碼 0）。"))});
    QCOMPARE(f.Boxes.Boxes[0].Kind, QStringLiteral("error"));
}

void tst_GetdataConditions::enterInEmptyValueEditDoesNothing()
{
    DialogFixture f;
    f.Show();
    f.Inputs("PROD_ID", 2, "");
    QTest::keyClick(f.Dialog->Edit1, Qt::Key_Return);
    QCOMPARE(f.Conditions(), QStringList());
    QCOMPARE(f.Dialog->GetSearchSql(), QString());
    QVERIFY(f.Boxes.Boxes.isEmpty());
    QVERIFY(f.Dialog->isVisible());
}

void tst_GetdataConditions::enterInFieldListFocusesResultGrid()
{
    DialogFixture f;
    f.Show();
    f.Dialog->activateWindow();
    f.Dialog->ComboBox1->setFocus();
    QTest::keyClick(f.Dialog->ComboBox1, Qt::Key_Return);
    QCOMPARE(f.Dialog->focusWidget(), f.Dialog->DBGrid1);
    QVERIFY(f.Dialog->isVisible());
}

void tst_GetdataConditions::escInFieldListClosesKeepingAccepted()
{
    for (bool accepted : {true, false}) {
        DialogFixture f;
        f.Show();
        DialogAccepted = accepted;
        QTest::keyClick(f.Dialog->ComboBox1, Qt::Key_Escape);
        QVERIFY(!f.Dialog->isVisible());
        QCOMPARE(DialogAccepted, accepted);
        RunDeferredDeletes();
        QVERIFY(f.Dialog.isNull());
        QVERIFY(Frmgetdata.isNull());
    }
}

QTEST_MAIN(tst_GetdataConditions)
#include "tst_getdataconditions.moc"
