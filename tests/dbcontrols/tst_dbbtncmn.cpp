#include "../data/MemoryTable.h"
#include "DBBtnCmn.h"
#include "DBSBtn.h"
#include "TDataSource.h"

#include <QTest>

Q_DECLARE_METATYPE(TDBButtonLanguage)
Q_DECLARE_METATYPE(TDBButtonType)

namespace
{
// Counts the three notifications the link hands on.
struct CountingLink {
    TDBBtnDataLink link;
    int active = 0, changed = 0, editing = 0;
    CountingLink()
    {
        link.OnActiveChanged = [this] { ++active; };
        link.OnDataSetChanged = [this] { ++changed; };
        link.OnEditingChanged = [this] { ++editing; };
    }
};

QList<QVariantList> Rows(int count)
{
    QList<QVariantList> rows;
    for (int i = 0; i < count; ++i)
        rows.append({QStringLiteral("r%1").arg(i), i, 0.0});
    return rows;
}
} // namespace

class tst_DBBtnCmn : public QObject
{
    Q_OBJECT

private slots:
    void init() { DefaultButtonLanguage = TDBButtonLanguage::blUSEnglish; }

    void enumerationsKeepTheirOrdinals();
    void perKindTables_data();
    void perKindTables();
    void hintsAreUnicodeAndFitTheirSlots();
    void hintTableTexts_data();
    void hintTableTexts();
    void isDefaultHint_data();
    void isDefaultHint();

    void linkWithoutDataSourceIsInactiveAndNotEditing();
    void openingRaisesActiveChangedOnce();
    void scrollingRaisesDataSetChangedButFieldChangesDoNot();
    void editingChangedFollowsTheState();
    void emptyCallbacksAreSkipped();

    void lastLanguageGivenBecomesTheDefault();
};

void tst_DBBtnCmn::enumerationsKeepTheirOrdinals()
{
    QCOMPARE(int(TDBButtonType::nbCustom), 0);
    QCOMPARE(int(TDBButtonType::nbAppend), 6);
    QCOMPARE(int(TDBButtonType::nbRefresh), DBButtonTypeCount - 1);
    QCOMPARE(int(TDBButtonLanguage::blHebrew), 1);
    QCOMPARE(int(TDBButtonLanguage::blSpanish), DBButtonLanguageCount - 1);
    QCOMPARE(int(TDBBDisableReason::drNotEditing), 3);
    QCOMPARE(int(TDBBDisableReason::drEmpty), 5);
    // A set holds bit n for the member of ordinal n.
    const TDBBDisableReasons reasons{TDBBDisableReason::drBOF, TDBBDisableReason::drEditing,
                                     TDBBDisableReason::drEmpty};
    QCOMPARE(reasons.Bits(), std::uint64_t(0b110001));
}

void tst_DBBtnCmn::perKindTables_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("glyph");
    QTest::addColumn<bool>("repeats");
    using enum TDBButtonType;
    QTest::newRow("custom") << nbCustom << ""
                            << "" << false;
    QTest::newRow("first") << nbFirst << "First"
                           << "FIRST" << false;
    QTest::newRow("prior") << nbPrior << "Prior"
                           << "PRIOR" << true;
    QTest::newRow("next") << nbNext << "Next"
                          << "NEXT" << true;
    QTest::newRow("last") << nbLast << "Last"
                          << "LAST" << false;
    QTest::newRow("insert") << nbInsert << "New"
                            << "INSERT" << false;
    QTest::newRow("append") << nbAppend << "Append"
                            << "INSERT" << false;
    QTest::newRow("delete") << nbDelete << "Delete"
                            << "DELETE" << false;
    QTest::newRow("edit") << nbEdit << "Edit"
                          << "EDIT" << false;
    QTest::newRow("post") << nbPost << "Save"
                          << "POST" << false;
    QTest::newRow("cancel") << nbCancel << "Cancel"
                            << "CANCEL" << false;
    QTest::newRow("refresh") << nbRefresh << "Refresh"
                             << "REFRESH" << false;
}

void tst_DBBtnCmn::perKindTables()
{
    QFETCH(TDBButtonType, type);
    QFETCH(QString, suffix);
    QFETCH(QString, glyph);
    QFETCH(bool, repeats);
    QCOMPARE(DBButtonNameSuffixes[int(type)].toString(), suffix);
    QCOMPARE(DBButtonGlyphNames[int(type)].toString(), glyph);
    QCOMPARE(DBButtonRepeats[int(type)], repeats);
}

void tst_DBBtnCmn::hintsAreUnicodeAndFitTheirSlots()
{
    for (int language = 0; language < DBButtonLanguageCount; ++language) {
        QVERIFY(DBButtonHints[language][0].isEmpty());
        for (QStringView hint : DBButtonHints[language]) {
            QVERIFY2(hint.size() <= 15, qPrintable(hint.toString()));
            // Round trips through UTF-8: held as text, not as code-page bytes.
            QCOMPARE(QString::fromUtf8(hint.toUtf8()), hint.toString());
        }
    }
}

void tst_DBBtnCmn::hintTableTexts_data()
{
    QTest::addColumn<TDBButtonLanguage>("language");
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<QString>("hint");
    using enum TDBButtonType;
    using enum TDBButtonLanguage;
    QTest::newRow("en insert") << blUSEnglish << nbInsert << "New";
    QTest::newRow("en append") << blUSEnglish << nbAppend << "New";
    QTest::newRow("en post") << blUSEnglish << nbPost << "Save";
    QTest::newRow("he first") << blHebrew << nbFirst << QString::fromUtf8("ראשונה");
    QTest::newRow("he refresh") << blHebrew << nbRefresh << QString::fromUtf8("רענון");
    QTest::newRow("pt next") << blPortugues << nbNext << QString::fromUtf8("Próximo");
    QTest::newRow("pt last") << blPortugues << nbLast << QString::fromUtf8("Último");
    QTest::newRow("de prior") << blGerman << nbPrior << QString::fromUtf8("Zurück");
    QTest::newRow("de edit") << blGerman << nbEdit << QString::fromUtf8("Ändern");
    QTest::newRow("de refresh") << blGerman << nbRefresh << "Aktualisieren";
    QTest::newRow("es next") << blSpanish << nbNext << "Siguiente";
    QTest::newRow("es post") << blSpanish << nbPost << "Guardar";
}

void tst_DBBtnCmn::hintTableTexts()
{
    QFETCH(TDBButtonLanguage, language);
    QFETCH(TDBButtonType, type);
    QFETCH(QString, hint);
    QCOMPARE(DBButtonHint(language, type).toString(), hint);
}

void tst_DBBtnCmn::isDefaultHint_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<TDBButtonLanguage>("language");
    QTest::addColumn<bool>("isDefault");
    using enum TDBButtonLanguage;
    QTest::newRow("First") << "First" << blUSEnglish << true;
    QTest::newRow("case matters") << "first" << blUSEnglish << false;
    QTest::newRow("other language") << "Anfang" << blUSEnglish << false;
    QTest::newRow("German") << "Anfang" << blGerman << true;
    QTest::newRow("New") << "New" << blUSEnglish << true;
    QTest::newRow("typed hint") << QString::fromUtf8("首筆記錄") << blUSEnglish << false;
    for (int language = 0; language < DBButtonLanguageCount; ++language)
        QTest::addRow("empty %d", language) << "" << TDBButtonLanguage(language) << true;
}

void tst_DBBtnCmn::isDefaultHint()
{
    QFETCH(QString, hint);
    QFETCH(TDBButtonLanguage, language);
    QFETCH(bool, isDefault);
    QCOMPARE(IsDefaultHint(hint, language), isDefault);
}

void tst_DBBtnCmn::linkWithoutDataSourceIsInactiveAndNotEditing()
{
    CountingLink counting;
    QVERIFY(!counting.link.Active());
    QVERIFY(!counting.link.Editing());
    QCOMPARE(counting.link.DataSet(), nullptr);
}

void tst_DBBtnCmn::openingRaisesActiveChangedOnce()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(3));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink counting;
    counting.link.SetDataSource(&source);
    QVERIFY(counting.link.Active());
    QCOMPARE(counting.active, 1);
    ds.Close();
    QCOMPARE(counting.active, 2);
    QVERIFY(!counting.link.Active());
}

void tst_DBBtnCmn::scrollingRaisesDataSetChangedButFieldChangesDoNot()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(3));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink counting;
    counting.link.SetDataSource(&source);
    ds.Next();
    QCOMPARE(counting.changed, 1);
    ds.Edit();
    const int beforeFieldChange = counting.changed;
    ds.FieldByName("NAME")->SetAsString("x");
    QCOMPARE(counting.changed, beforeFieldChange);
}

void tst_DBBtnCmn::editingChangedFollowsTheState()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(2));
    TDataSource source;
    source.SetDataSet(&ds);
    CountingLink counting;
    counting.link.SetDataSource(&source);
    ds.Edit();
    QVERIFY(counting.link.Editing());
    QCOMPARE(counting.editing, 1);
    ds.Cancel();
    QVERIFY(!counting.link.Editing());
    QCOMPARE(counting.editing, 2);
}

void tst_DBBtnCmn::emptyCallbacksAreSkipped()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(2));
    TDataSource source;
    source.SetDataSet(&ds);
    TDBBtnDataLink link;
    link.SetDataSource(&source);
    ds.Next();
    ds.Edit();
    ds.Cancel();
    ds.Close();
    QVERIFY(!link.Active());
}

void tst_DBBtnCmn::lastLanguageGivenBecomesTheDefault()
{
    TDBSpeedButton first;
    QCOMPARE(first.Language(), TDBButtonLanguage::blUSEnglish);
    first.SetLanguage(TDBButtonLanguage::blGerman);
    QCOMPARE(DefaultButtonLanguage, TDBButtonLanguage::blGerman);
    TDBSpeedButton next;
    QCOMPARE(next.Language(), TDBButtonLanguage::blGerman);
}

QTEST_MAIN(tst_DBBtnCmn)
#include "tst_dbbtncmn.moc"
