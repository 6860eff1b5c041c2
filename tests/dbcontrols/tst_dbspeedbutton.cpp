#include "ButtonFixtures.h"
#include "Exceptions.h"
#include "TRecordingMessages.h"

#include <QTest>

Q_DECLARE_METATYPE(TDBButtonType)
Q_DECLARE_METATYPE(TDBButtonLanguage)

using enum TDBButtonType;

namespace
{
void Attach(TDBSpeedButton& button, TDBButtonType type, Table& table)
{
    button.SetDataButtonType(type);
    button.SetDataSource(&table.Source);
}
} // namespace

class tst_DBSpeedButton : public QObject
{
    Q_OBJECT

private slots:
    void init() { DefaultButtonLanguage = TDBButtonLanguage::blUSEnglish; }

    void constructionDefaults();
    void navigationFollowsTheFlags_data();
    void navigationFollowsTheFlags();
    void editStateEnabling_data();
    void editStateEnabling();
    void readOnlyDataSetDisablesModifyingKinds();
    void inactiveLinkDisables();
    void destroyedDataSourceLeavesTheButtonDisabled();
    void enabledFalseInCodeSwitchesAutomaticEnablingOff();
    void onEnabledChangedOnlyForAutomaticChanges();
    void changingTypeWaitsForTheNextNotification_data();
    void changingTypeWaitsForTheNextNotification();
    void changingDisableReasonsRecomputesEnabledAtOnce();

    void clickRunsEventsInOrder();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void questionHandlerSteersAnyButton();
    void beforeActionVetoesTheAction();
    void failingAction_data();
    void failingAction();
    void customButtonHasNoAction();
    void clickWithoutDataSourceIsSilentSuccess();
    void actionPerKind_data();
    void actionPerKind();

    void languageChangeFollowsDefaultHints_data();
    void languageChangeFollowsDefaultHints();
    void typeChangeSetsDefaultHint_data();
    void typeChangeSetsDefaultHint();
    void captionNeverFollowsName();

    void standardPictures_data();
    void standardPictures();
    void typeChangeReplacesCustomPicture();
    void customKindKeepsPictureAndMarksIt();
    void glyphChangeIsTrackedAndStillRedraws();
};

void tst_DBSpeedButton::constructionDefaults()
{
    TDBSpeedButton button;
    QCOMPARE(button.DataButtonType(), nbCustom);
    QVERIFY(button.DisableReasons().Empty());
    QVERIFY(button.ConfirmDelete());
    QVERIFY(button.RuntimeEnabled());
    QVERIFY(!button.GlyphCustomized());
    QVERIFY(!button.UpdatingEnabled());
    QCOMPARE(button.RepeatTimer(), nullptr);
    QCOMPARE(button.DataSource(), nullptr);
    QCOMPARE(button.GetNamePrefix(), QStringLiteral("dbSBtn"));
}

void tst_DBSpeedButton::navigationFollowsTheFlags_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("moves"); // Next, Prior, Last, RecNo 2
    QTest::addColumn<bool>("enabled");
    QTest::newRow("first on open") << nbFirst << 3 << "" << false;
    QTest::newRow("prior on open") << nbPrior << 3 << "" << false;
    QTest::newRow("first after next") << nbFirst << 3 << "N" << true;
    QTest::newRow("next on open") << nbNext << 3 << "" << true;
    QTest::newRow("next on last row by next") << nbNext << 3 << "NN" << true;
    QTest::newRow("next after one more next") << nbNext << 3 << "NNN" << false;
    QTest::newRow("next after last") << nbNext << 3 << "L" << false;
    QTest::newRow("last after last") << nbLast << 3 << "L" << false;
    QTest::newRow("prior on first row by prior") << nbPrior << 3 << "NP" << true;
    QTest::newRow("prior after one more prior") << nbPrior << 3 << "NPP" << false;
    QTest::newRow("first after a jump") << nbFirst << 3 << "R" << true;
    QTest::newRow("last after a jump") << nbLast << 3 << "LR" << true;
    QTest::newRow("first when empty") << nbFirst << 0 << "" << false;
    QTest::newRow("prior when empty") << nbPrior << 0 << "" << false;
    QTest::newRow("next when empty") << nbNext << 0 << "" << false;
    QTest::newRow("last when empty") << nbLast << 0 << "" << false;
}

void tst_DBSpeedButton::navigationFollowsTheFlags()
{
    QFETCH(TDBButtonType, type);
    QFETCH(int, rows);
    QFETCH(QString, moves);
    QFETCH(bool, enabled);
    Table table(rows);
    TDBSpeedButton button;
    Attach(button, type, table);
    for (QChar move : moves) {
        switch (move.toLatin1()) {
        case 'N':
            table.DataSet.Next();
            break;
        case 'P':
            table.DataSet.Prior();
            break;
        case 'L':
            table.DataSet.Last();
            break;
        default:
            table.DataSet.SetRecNo(2);
        }
    }
    QCOMPARE(button.Enabled(), enabled);
    QCOMPARE(button.isEnabled(), enabled);
}

void tst_DBSpeedButton::editStateEnabling_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<bool>("browsing");
    QTest::addColumn<bool>("editing");
    QTest::newRow("first") << nbFirst << true << false;
    QTest::newRow("prior") << nbPrior << true << false;
    QTest::newRow("next") << nbNext << true << false;
    QTest::newRow("last") << nbLast << true << false;
    QTest::newRow("refresh") << nbRefresh << true << false;
    QTest::newRow("post") << nbPost << false << true;
    QTest::newRow("cancel") << nbCancel << false << true;
    QTest::newRow("insert") << nbInsert << true << false;
    QTest::newRow("delete") << nbDelete << true << false;
}

void tst_DBSpeedButton::editStateEnabling()
{
    QFETCH(TDBButtonType, type);
    QFETCH(bool, browsing);
    QFETCH(bool, editing);
    Table table(3);
    table.DataSet.Next(); // neither BOF nor EOF
    TDBSpeedButton button;
    Attach(button, type, table);
    QCOMPARE(button.Enabled(), browsing);
    table.DataSet.Edit();
    QCOMPARE(button.Enabled(), editing);
    table.DataSet.Cancel();
    QCOMPARE(button.Enabled(), browsing);
    table.DataSet.Insert();
    QCOMPARE(button.Enabled(), editing);
}

void tst_DBSpeedButton::readOnlyDataSetDisablesModifyingKinds()
{
    Table table(3);
    table.DataSet.SetReadOnly(true);
    table.DataSet.Next();
    for (TDBButtonType type : {nbInsert, nbAppend, nbDelete, nbEdit}) {
        TDBSpeedButton button;
        Attach(button, type, table);
        QVERIFY2(!button.Enabled(), qPrintable(QString::number(int(type))));
    }
    TDBSpeedButton next;
    Attach(next, nbNext, table);
    QVERIFY(next.Enabled());
}

void tst_DBSpeedButton::inactiveLinkDisables()
{
    Table table(3);
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    QVERIFY(!button.Enabled()); // no data source yet
    button.SetDataSource(&table.Source);
    QVERIFY(button.Enabled());
    table.Source.SetEnabled(false);
    QVERIFY(!button.Enabled());
    table.Source.SetEnabled(true);
    QVERIFY(button.Enabled());
    table.DataSet.Close();
    QVERIFY(!button.Enabled());
    table.DataSet.Open(); // an in-memory table opens empty
    QVERIFY(!button.Enabled());
    table.DataSet.Append();
    table.DataSet.FieldByName("NAME")->SetAsString("a");
    table.DataSet.Post();
    QVERIFY(button.Enabled());
    button.SetDataSource(nullptr);
    QVERIFY(!button.Enabled());
}

void tst_DBSpeedButton::destroyedDataSourceLeavesTheButtonDisabled()
{
    TClientDataSet ds;
    MakeMemoryTable(ds, Rows(3));
    auto* source = new TDataSource;
    source->SetDataSet(&ds);
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(source);
    QVERIFY(button.Enabled());
    delete source;
    QCOMPARE(button.DataSource(), nullptr);
    QVERIFY(!button.Enabled());
    ds.Next(); // nothing left that could reach the button
    QVERIFY(!button.Enabled());
}

void tst_DBSpeedButton::enabledFalseInCodeSwitchesAutomaticEnablingOff()
{
    Table table(5);
    TDBSpeedButton button;
    Attach(button, nbNext, table);
    button.SetEnabled(false);
    QVERIFY(!button.RuntimeEnabled());
    for (int i = 0; i < 3; ++i)
        table.DataSet.Next();
    QVERIFY(!button.Enabled());
    // Switching it on again evaluates at once: at the end, the reason holds.
    table.DataSet.Last();
    button.SetEnabled(true);
    QVERIFY(button.RuntimeEnabled());
    QVERIFY(!button.Enabled());
    table.DataSet.First();
    QVERIFY(button.Enabled());
    // Qt's own setter takes the same way.
    button.setEnabled(false);
    QVERIFY(!button.RuntimeEnabled());
    table.DataSet.Next();
    QVERIFY(!button.Enabled());
}

void tst_DBSpeedButton::onEnabledChangedOnlyForAutomaticChanges()
{
    Table table(2);
    TDBSpeedButton button;
    Attach(button, nbNext, table);
    QList<bool> seen;
    button.OnEnabledChanged = [&](QObject* sender) {
        QCOMPARE(sender, &button);
        seen << button.Enabled();
    };
    table.DataSet.Next();
    QVERIFY(seen.isEmpty()); // still enabled on the last row
    table.DataSet.Next();
    QCOMPARE(seen, QList<bool>{false});
    table.DataSet.First();
    QCOMPARE(seen, (QList<bool>{false, true}));
    button.SetEnabled(false); // the program's own change: no automatic one
    QCOMPARE(seen.size(), 2);
}

void tst_DBSpeedButton::changingTypeWaitsForTheNextNotification_data()
{
    QTest::addColumn<TDBButtonType>("from");
    QTest::addColumn<TDBButtonType>("to");
    QTest::addColumn<bool>("before"); // on the first row of three
    QTest::newRow("first to last") << nbFirst << nbLast << false;
    QTest::newRow("last to prior") << nbLast << nbPrior << true;
    QTest::newRow("next to post") << nbNext << nbPost << true;
}

void tst_DBSpeedButton::changingTypeWaitsForTheNextNotification()
{
    QFETCH(TDBButtonType, from);
    QFETCH(TDBButtonType, to);
    QFETCH(bool, before);
    Table table(3);
    TDBSpeedButton button;
    Attach(button, from, table);
    QCOMPARE(button.Enabled(), before);
    button.SetDataButtonType(to);
    QCOMPARE(button.DataButtonType(), to);
    QCOMPARE(button.Enabled(), before); // the old kind's state, still shown
    QVERIFY(button.RuntimeEnabled());
    table.DataSet.DataEvent(TDataEvent::deDataSetChange);
    QCOMPARE(button.Enabled(), !before);
}

void tst_DBSpeedButton::changingDisableReasonsRecomputesEnabledAtOnce()
{
    Table table(3);
    TDBSpeedButton button;
    Attach(button, nbNext, table);
    QVERIFY(button.Enabled());
    button.SetDisableReasons({TDBBDisableReason::drBOF});
    QVERIFY(!button.Enabled());
}

void tst_DBSpeedButton::clickRunsEventsInOrder()
{
    TRecordingMessages messages;
    Table table(3);
    TDBSpeedButton button;
    Attach(button, nbNext, table);
    QStringList order;
    button.OnClick = [&](QObject*) { order << "click:" + table.Current(); };
    button.OnGetQuestion = [&](QObject*, QString& question, TMsgDlgButtons&, int&) {
        order << "question";
        question = "Go on?";
    };
    button.OnBeforeAction = [&](QObject*, bool& done) {
        order << QStringLiteral("before:%1").arg(done);
    };
    button.OnAfterAction = [&](QObject*, bool& error) {
        order << QStringLiteral("after:%1:").arg(error) + table.Current();
    };
    button.click();
    QCOMPARE(order, (QStringList{"click:r0", "question", "before:0", "after:0:r1"}));
    QCOMPARE(messages.Texts(), QStringList{"Go on?"});
    QCOMPARE(messages.Boxes[0].Type, TMsgDlgType::mtConfirmation);
}

void tst_DBSpeedButton::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("rowsLeft");
    QTest::addColumn<int>("events");
    QTest::newRow("cancel") << true << int(mrCancel) << 3 << 0;
    QTest::newRow("ok") << true << int(mrOk) << 2 << 2;
    QTest::newRow("yes") << true << int(mrYes) << 2 << 2;
    QTest::newRow("no") << true << int(mrNo) << 3 << 0;
    QTest::newRow("no question") << false << int(mrCancel) << 2 << 2;
}

void tst_DBSpeedButton::deleteAsksFirst()
{
    QFETCH(bool, confirm);
    QFETCH(int, answer);
    QFETCH(int, rowsLeft);
    QFETCH(int, events);
    TRecordingMessages messages;
    messages.Answers << answer;
    Table table(3);
    TDBSpeedButton button;
    Attach(button, nbDelete, table);
    button.SetConfirmDelete(confirm);
    int raised = 0;
    button.OnBeforeAction = [&](QObject*, bool&) { ++raised; };
    button.OnAfterAction = [&](QObject*, bool&) { ++raised; };
    button.click();
    QCOMPARE(table.DataSet.RecordCount(), rowsLeft);
    QCOMPARE(raised, events);
    if (confirm) {
        QCOMPARE(messages.Texts(), QStringList{QString::fromUtf8("删除当前记录吗?")});
        QCOMPARE(messages.Boxes[0].Buttons,
                 (TMsgDlgButtons{TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}));
    } else {
        QVERIFY(messages.Boxes.isEmpty());
    }
}

void tst_DBSpeedButton::questionHandlerSteersAnyButton()
{
    TRecordingMessages messages;
    messages.Answers << mrNo;
    Table table(3);
    TDBSpeedButton next;
    Attach(next, nbNext, table);
    next.OnGetQuestion = [](QObject*, QString& question, TMsgDlgButtons& buttons, int& helpCtx) {
        QVERIFY(question.isEmpty());
        QCOMPARE(helpCtx, 0);
        question = "Move?";
        buttons = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo};
        helpCtx = 7;
    };
    next.click();
    QCOMPARE(table.Current(), QStringLiteral("r0"));
    QCOMPARE(messages.Boxes[0].Buttons, (TMsgDlgButtons{TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}));

    TDBSpeedButton del;
    Attach(del, nbDelete, table);
    del.OnGetQuestion = [](QObject*, QString& question, TMsgDlgButtons&, int&) {
        QCOMPARE(question, QString::fromUtf8("删除当前记录吗?"));
        question.clear();
    };
    del.click();
    QCOMPARE(table.DataSet.RecordCount(), 2);
    QCOMPARE(messages.Boxes.size(), 1);
}

void tst_DBSpeedButton::beforeActionVetoesTheAction()
{
    Table table(3);
    TDBSpeedButton button;
    Attach(button, nbNext, table);
    button.OnBeforeAction = [](QObject*, bool& done) { done = true; };
    QList<bool> errors;
    button.OnAfterAction = [&](QObject*, bool& error) { errors << error; };
    button.click();
    QCOMPARE(table.Current(), QStringLiteral("r0"));
    QCOMPARE(errors, QList<bool>{false});
}

void tst_DBSpeedButton::failingAction_data()
{
    QTest::addColumn<int>("handler"); // 0 none, 1 clears Error, 2 leaves it
    QTest::addColumn<int>("boxes");
    QTest::addColumn<int>("afterCalls");
    QTest::newRow("no handler") << 0 << 1 << 0;
    QTest::newRow("handler clears Error") << 1 << 0 << 1;
    QTest::newRow("handler leaves Error") << 2 << 1 << 1;
}

void tst_DBSpeedButton::failingAction()
{
    QFETCH(int, handler);
    QFETCH(int, boxes);
    QFETCH(int, afterCalls);
    TRecordingMessages messages;
    Table table(3);
    table.DataSet.SetReadOnly(true); // the delete is refused
    TDBSpeedButton button;
    Attach(button, nbDelete, table);
    button.SetConfirmDelete(false);
    button.SetDisableReasons({}); // clickable all the same
    QVERIFY(button.isEnabled());
    QList<bool> errors;
    if (handler)
        button.OnAfterAction = [&](QObject*, bool& error) {
            errors << error;
            if (handler == 1) error = false;
        };
    button.click();
    QCOMPARE(table.DataSet.RecordCount(), 3);
    QCOMPARE(messages.Boxes.size(), boxes);
    if (boxes)
        QCOMPARE(messages.Boxes[0].Text,
                 QStringLiteral("CDS_Table: Cannot modify a read-only dataset."));
    QCOMPARE(errors.size(), afterCalls);
    if (afterCalls) QCOMPARE(errors[0], true);
}

void tst_DBSpeedButton::customButtonHasNoAction()
{
    Table table(3);
    TDBSpeedButton button;
    button.SetDataSource(&table.Source);
    QStringList seen;
    button.OnClick = [&](QObject*) { seen << "click"; };
    button.OnBeforeAction = [&](QObject*, bool& done) {
        seen << QStringLiteral("before:%1").arg(done);
        done = false; // changes nothing: the kind has no action
    };
    button.OnAfterAction = [&](QObject*, bool& error) {
        seen << QStringLiteral("after:%1").arg(error);
    };
    button.click();
    QCOMPARE(seen, (QStringList{"click", "before:1", "after:0"}));
    QCOMPARE(table.Current(), QStringLiteral("r0"));
    QCOMPARE(table.DataSet.State(), TDataSetState::dsBrowse);
}

void tst_DBSpeedButton::clickWithoutDataSourceIsSilentSuccess()
{
    TRecordingMessages messages;
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    QList<bool> errors;
    button.OnAfterAction = [&](QObject*, bool& error) { errors << error; };
    button.Click();
    Table table(2);
    table.DataSet.Close();
    button.SetDataSource(&table.Source);
    button.Click();
    QCOMPARE(errors, (QList<bool>{false, false}));
    QVERIFY(messages.Boxes.isEmpty());
}

void tst_DBSpeedButton::actionPerKind_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<bool>("editFirst");
    QTest::addColumn<QString>("expected"); // current name, state and count afterwards
    QTest::newRow("first") << nbFirst << false << "r0 browse 4";
    QTest::newRow("prior") << nbPrior << false << "r1 browse 4";
    QTest::newRow("next") << nbNext << false << "r3 browse 4";
    QTest::newRow("last") << nbLast << false << "r3 browse 4";
    QTest::newRow("insert") << nbInsert << false << " insert 5";
    QTest::newRow("append") << nbAppend << false << " insert 5";
    QTest::newRow("delete") << nbDelete << false << "r3 browse 3";
    QTest::newRow("edit") << nbEdit << false << "r2 edit 4";
    QTest::newRow("post") << nbPost << true << "x browse 4";
    QTest::newRow("cancel") << nbCancel << true << "r2 browse 4";
    QTest::newRow("refresh") << nbRefresh << false << "r2 browse 4";
}

void tst_DBSpeedButton::actionPerKind()
{
    QFETCH(TDBButtonType, type);
    QFETCH(bool, editFirst);
    QFETCH(QString, expected);
    TRecordingMessages messages; // answers the delete question with Yes
    Table table(4);
    table.DataSet.SetRecNo(3);
    TDBSpeedButton button;
    Attach(button, type, table);
    if (editFirst) {
        table.DataSet.Edit();
        table.DataSet.FieldByName("NAME")->SetAsString("x");
    }
    button.Click();
    const QString state = table.DataSet.State() == TDataSetState::dsBrowse ? "browse"
                          : table.DataSet.State() == TDataSetState::dsEdit ? "edit"
                                                                           : "insert";
    QCOMPARE(
        QStringLiteral("%1 %2 %3").arg(table.Current(), state).arg(table.DataSet.RecordCount()),
        expected);
}

void tst_DBSpeedButton::languageChangeFollowsDefaultHints_data()
{
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("expected");
    QTest::newRow("default hint") << "First"
                                  << "Anfang";
    QTest::newRow("typed hint") << QString::fromUtf8("首筆記錄") << QString::fromUtf8("首筆記錄");
    QTest::newRow("empty hint") << ""
                                << "Anfang";
    // Any default hint of the old language follows, to the button's own kind.
    QTest::newRow("other kind's default") << "Last"
                                          << "Anfang";
}

void tst_DBSpeedButton::languageChangeFollowsDefaultHints()
{
    QFETCH(QString, hint);
    QFETCH(QString, expected);
    TDBSpeedButton button;
    button.SetDataButtonType(nbFirst);
    button.SetHint(hint);
    button.SetLanguage(TDBButtonLanguage::blGerman);
    QCOMPARE(button.Hint(), expected);
    QCOMPARE(button.Language(), TDBButtonLanguage::blGerman);
    QVERIFY(!button.Glyph().isNull()); // the picture doesn't depend on the language
}

void tst_DBSpeedButton::typeChangeSetsDefaultHint_data()
{
    QTest::addColumn<TDBButtonLanguage>("language");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<TDBButtonType>("from");
    QTest::addColumn<TDBButtonType>("to");
    QTest::addColumn<QString>("expected");
    using enum TDBButtonLanguage;
    QTest::newRow("empty") << blUSEnglish << "" << nbCustom << nbFirst << "First";
    QTest::newRow("default follows") << blUSEnglish << "First" << nbFirst << nbLast << "Last";
    QTest::newRow("New to Post") << blUSEnglish << "New" << nbAppend << nbPost << "Save";
    QTest::newRow("German") << blGerman << "" << nbCustom << nbNext << "Vor";
    QTest::newRow("typed stays") << blUSEnglish << QString::fromUtf8("首筆記錄") << nbCustom
                                 << nbFirst << QString::fromUtf8("首筆記錄");
    QTest::newRow("to custom keeps") << blUSEnglish << "First" << nbFirst << nbCustom << "First";
}

void tst_DBSpeedButton::typeChangeSetsDefaultHint()
{
    QFETCH(TDBButtonLanguage, language);
    QFETCH(QString, hint);
    QFETCH(TDBButtonType, from);
    QFETCH(TDBButtonType, to);
    QFETCH(QString, expected);
    TDBSpeedButton button;
    button.SetLanguage(language);
    button.SetDataButtonType(from);
    button.SetHint(hint);
    button.SetCaption(QString::fromUtf8("首筆"));
    button.SetDataButtonType(to);
    QCOMPARE(button.Hint(), expected);
    QCOMPARE(button.Caption(), QString::fromUtf8("首筆"));
}

void tst_DBSpeedButton::captionNeverFollowsName()
{
    TDBSpeedButton button;
    button.setObjectName("dbSBtnFirst");
    button.SetDataButtonType(nbFirst);
    QVERIFY(button.Caption().isEmpty());
}

void tst_DBSpeedButton::standardPictures_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<int>("width");
    QTest::newRow("first") << nbFirst << 28;
    QTest::newRow("prior") << nbPrior << 20;
    QTest::newRow("next") << nbNext << 20;
    QTest::newRow("last") << nbLast << 28;
    QTest::newRow("insert") << nbInsert << 28;
    QTest::newRow("append") << nbAppend << 28;
    QTest::newRow("delete") << nbDelete << 28;
    QTest::newRow("edit") << nbEdit << 28;
    QTest::newRow("post") << nbPost << 28;
    QTest::newRow("cancel") << nbCancel << 28;
    QTest::newRow("refresh") << nbRefresh << 28;
}

void tst_DBSpeedButton::standardPictures()
{
    QFETCH(TDBButtonType, type);
    QFETCH(int, width);
    TDBSpeedButton button;
    button.SetDataButtonType(type);
    const QImage glyph = button.Glyph();
    QCOMPARE(glyph.size(), QSize(width, 13));
    QCOMPARE(button.NumGlyphs(), 2);
    QVERIFY(!button.GlyphCustomized());
    QVERIFY(glyph.colorCount() > 0 && glyph.colorCount() <= 16);
    const int half = width / 2;
    QVERIFY(glyph.copy(0, 0, half, 13) != glyph.copy(half, 0, half, 13));
    QCOMPARE(button.iconSize(), QSize(half, 13));
    // The disabled look is the strip's second image.
    const QImage shown = button.icon().pixmap(button.iconSize(), QIcon::Disabled).toImage();
    QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32),
             glyph.copy(half, 0, half, 13).convertToFormat(QImage::Format_ARGB32));
}

void tst_DBSpeedButton::typeChangeReplacesCustomPicture()
{
    TDBSpeedButton button;
    button.SetDataButtonType(nbFirst);
    const QImage standard = button.Glyph();
    QImage own(16, 16, QImage::Format_ARGB32);
    own.fill(Qt::red);
    button.SetGlyph(own);
    QVERIFY(button.GlyphCustomized());
    button.SetDataButtonType(nbLast);
    QVERIFY(!button.GlyphCustomized());
    QCOMPARE(button.Glyph().size(), QSize(28, 13));
    QVERIFY(button.Glyph() != own);
    QVERIFY(button.Glyph() != standard);
}

void tst_DBSpeedButton::customKindKeepsPictureAndMarksIt()
{
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    const QImage next = button.Glyph();
    QVERIFY(!button.GlyphCustomized());
    button.SetDataButtonType(nbCustom);
    QCOMPARE(button.Glyph(), next);
    QVERIFY(button.GlyphCustomized());
}

void tst_DBSpeedButton::glyphChangeIsTrackedAndStillRedraws()
{
    TDBSpeedButton button;
    button.SetDataButtonType(nbFirst);
    QImage own(8, 6, QImage::Format_ARGB32);
    own.fill(Qt::blue);
    button.SetNumGlyphs(1);
    button.SetGlyph(own);
    QVERIFY(button.GlyphCustomized());
    QCOMPARE(button.iconSize(), QSize(8, 6)); // the button's own handler still ran
    button.LoadDefaultGlyph();
    QVERIFY(!button.GlyphCustomized());
    QCOMPARE(button.iconSize(), QSize(14, 13));
}

QTEST_MAIN(tst_DBSpeedButton)
#include "tst_dbspeedbutton.moc"
