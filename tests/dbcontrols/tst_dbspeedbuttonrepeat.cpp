#include "ButtonFixtures.h"
#include "Exceptions.h"
#include "TRecordingMessages.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

using enum TDBButtonType;

namespace
{
const QPoint Inside(10, 10);
const QPoint Outside(-20, -20);

void Drag(QWidget& widget, QPoint pos)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(pos), QPointF(widget.mapToGlobal(pos)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

void DeleteLater()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class tst_DBSpeedButtonRepeat : public QObject
{
    Q_OBJECT

private slots:
    void holdingRepeatsAfter400ThenEvery100_data();
    void holdingRepeatsAfter400ThenEvery100();
    void ticksPauseWhileThePointerIsOff();
    void nonRepeatingKindsAndOtherButtonsMakeNoTimer_data();
    void nonRepeatingKindsAndOtherButtonsMakeNoTimer();
    void failingTickStopsRepeating();
    void reachingTheEndWhileHeldStopsRepeating();

    void menuItemClicksTheButtonThenItsOwnHandler();
    void menuItemEnabledFollowsTheButton();
    void unlinkingGivesEachItemItsHandlerBack();
    void destroyedMenuItemIsDropped();
    void destroyedButtonGivesTheHandlerBack();
};

void tst_DBSpeedButtonRepeat::holdingRepeatsAfter400ThenEvery100_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("step");
    QTest::newRow("next") << nbNext << 0 << 1;
    QTest::newRow("prior") << nbPrior << 9 << -1;
}

void tst_DBSpeedButtonRepeat::holdingRepeatsAfter400ThenEvery100()
{
    QFETCH(TDBButtonType, type);
    QFETCH(int, start);
    QFETCH(int, step);
    Table table(10);
    table.DataSet.SetRecNo(start + 1);
    TestButton button;
    button.SetDataButtonType(type);
    button.SetDataSource(&table.Source);
    button.resize(40, 30);
    button.show();
    auto row = [&](int moves) { return QStringLiteral("r%1").arg(start + step * moves); };

    QTest::mousePress(&button, Qt::LeftButton, {}, Inside);
    QVERIFY(button.Timer());
    QCOMPARE(button.Timer()->Interval(), 400);
    button.Timer()->Advance(399);
    QCOMPARE(table.Current(), row(0));
    button.Timer()->Advance(1);
    QCOMPARE(table.Current(), row(1));
    QCOMPARE(button.Timer()->Interval(), 100);
    button.Timer()->Advance(99);
    QCOMPARE(table.Current(), row(1));
    button.Timer()->Advance(1);
    QCOMPARE(table.Current(), row(2));
    button.Timer()->Advance(250);
    QCOMPARE(table.Current(), row(4));
    QPointer<ManualTimer> timer = button.Timer();
    // Releasing over the button adds the ordinary click.
    QTest::mouseRelease(&button, Qt::LeftButton, {}, Inside);
    QCOMPARE(table.Current(), row(5));
    QCOMPARE(button.RepeatTimer(), nullptr);
    DeleteLater();
    QVERIFY(timer.isNull());
    QCOMPARE(button.TimersMade, 1);
}

void tst_DBSpeedButtonRepeat::ticksPauseWhileThePointerIsOff()
{
    Table table(10);
    TestButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    button.resize(40, 30);
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, Inside);
    button.Timer()->Advance(400);
    QCOMPARE(table.Current(), QStringLiteral("r1"));
    Drag(button, Outside);
    QVERIFY(!button.isDown());
    QVERIFY(!button.Timer()->Enabled());
    button.Timer()->Advance(1000);
    QCOMPARE(table.Current(), QStringLiteral("r1"));
    Drag(button, Inside);
    QVERIFY(button.Timer()->Enabled());
    button.Timer()->Advance(100);
    QCOMPARE(table.Current(), QStringLiteral("r2"));
    // Released off the button: no click, and the repeating ends.
    Drag(button, Outside);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, Outside);
    QCOMPARE(table.Current(), QStringLiteral("r2"));
    QCOMPARE(button.RepeatTimer(), nullptr);
}

void tst_DBSpeedButtonRepeat::nonRepeatingKindsAndOtherButtonsMakeNoTimer_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::addColumn<Qt::MouseButton>("mouseButton");
    QTest::newRow("first") << nbFirst << Qt::LeftButton;
    QTest::newRow("last") << nbLast << Qt::LeftButton;
    QTest::newRow("custom") << nbCustom << Qt::LeftButton;
    QTest::newRow("next, right button") << nbNext << Qt::RightButton;
}

void tst_DBSpeedButtonRepeat::nonRepeatingKindsAndOtherButtonsMakeNoTimer()
{
    QFETCH(TDBButtonType, type);
    QFETCH(Qt::MouseButton, mouseButton);
    Table table(10);
    table.DataSet.SetRecNo(5);
    TestButton button;
    button.SetDataButtonType(type);
    button.SetDataSource(&table.Source);
    button.resize(40, 30);
    button.show();
    QTest::mousePress(&button, mouseButton, {}, Inside);
    QCOMPARE(button.TimersMade, 0);
    QCOMPARE(button.RepeatTimer(), nullptr);
    QTest::mouseRelease(&button, mouseButton, {}, Inside);
}

void tst_DBSpeedButtonRepeat::failingTickStopsRepeating()
{
    TRecordingMessages messages;
    Table table(10);
    TestButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    button.resize(40, 30);
    button.show();
    int clicks = 0;
    button.OnBeforeAction = [&](QObject*, bool&) {
        if (++clicks == 2) throw Exception("boom");
    };
    QTest::mousePress(&button, Qt::LeftButton, {}, Inside);
    QPointer<ManualTimer> timer = button.Timer();
    timer->Advance(400);
    timer->Advance(100);
    QCOMPARE(messages.Texts(), QStringList{"boom."});
    QCOMPARE(button.RepeatTimer(), nullptr);
    timer->Advance(1000);
    QCOMPARE(clicks, 2);
    QCOMPARE(table.Current(), QStringLiteral("r1"));
    DeleteLater();
    QVERIFY(timer.isNull());
}

void tst_DBSpeedButtonRepeat::reachingTheEndWhileHeldStopsRepeating()
{
    // A disabled button never sees the release.
    Table table(3);
    TestButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    button.resize(40, 30);
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, Inside);
    QPointer<ManualTimer> timer = button.Timer();
    timer->Advance(400 + 100 + 100);
    QVERIFY(!button.Enabled());
    QCOMPARE(button.RepeatTimer(), nullptr);
    QVERIFY(!timer->Enabled());
    QCOMPARE(table.Current(), QStringLiteral("r2"));
}

void tst_DBSpeedButtonRepeat::menuItemClicksTheButtonThenItsOwnHandler()
{
    Table table(5);
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    TMenuItem item("Next", nullptr);
    QStringList seen;
    item.OnClick = [&](QObject* sender) {
        QCOMPARE(sender, &item);
        seen << "item:" + table.Current();
    };
    button.OnClick = [&](QObject*) { seen << "button:" + table.Current(); };
    button.SetMenuItem(&item);
    QCOMPARE(button.MenuItem(), &item);
    item.trigger();
    QCOMPARE(seen, (QStringList{"button:r0", "item:r1"}));
}

void tst_DBSpeedButtonRepeat::menuItemEnabledFollowsTheButton()
{
    Table table(2);
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    table.DataSet.Last();
    TMenuItem item;
    button.SetMenuItem(&item);
    QVERIFY(!item.isEnabled());
    table.DataSet.First();
    QVERIFY(item.isEnabled());
    table.DataSet.Edit();
    QVERIFY(!item.isEnabled());
}

void tst_DBSpeedButtonRepeat::unlinkingGivesEachItemItsHandlerBack()
{
    Table table(5);
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    TMenuItem first, second;
    int firstOwn = 0, secondOwn = 0;
    first.OnClick = [&](QObject*) { ++firstOwn; };
    second.OnClick = [&](QObject*) { ++secondOwn; };
    button.SetMenuItem(&first);
    button.SetMenuItem(&second);
    first.trigger();
    QCOMPARE(firstOwn, 1);
    QCOMPARE(table.Current(), QStringLiteral("r0"));
    button.SetMenuItem(nullptr);
    second.trigger();
    QCOMPARE(secondOwn, 1);
    QCOMPARE(table.Current(), QStringLiteral("r0"));
}

void tst_DBSpeedButtonRepeat::destroyedMenuItemIsDropped()
{
    Table table(5);
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    {
        TMenuItem item;
        button.SetMenuItem(&item);
    }
    QCOMPARE(button.MenuItem(), nullptr);
    table.DataSet.Last(); // enabling goes on without the item
    QVERIFY(!button.Enabled());
}

void tst_DBSpeedButtonRepeat::destroyedButtonGivesTheHandlerBack()
{
    Table table(5);
    TMenuItem item;
    int own = 0;
    item.OnClick = [&](QObject*) { ++own; };
    {
        TDBSpeedButton button;
        button.SetDataButtonType(nbNext);
        button.SetDataSource(&table.Source);
        button.SetMenuItem(&item);
    }
    item.trigger();
    QCOMPARE(own, 1);
    QCOMPARE(table.Current(), QStringLiteral("r0"));
}

QTEST_MAIN(tst_DBSpeedButtonRepeat)
#include "tst_dbspeedbuttonrepeat.moc"
