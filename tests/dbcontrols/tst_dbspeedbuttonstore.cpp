#include "ButtonFixtures.h"
#include "Exceptions.h"

#include <QTest>

using enum TDBButtonType;
using enum TDBBDisableReason;

namespace
{
// Loads a stored form into a fresh button, its component names resolved
// against the given components.
void Load(TDBSpeedButton& button, const QString& text, QList<QObject*> components = {})
{
    button.LoadProperties(TStoredProperties::FromText(text), [&](const QString& name) {
        for (QObject* component : components)
            if (component->objectName() == name) return component;
        return static_cast<QObject*>(nullptr);
    });
}

QImage OwnPicture()
{
    QImage picture(20, 10, QImage::Format_ARGB32);
    picture.fill(Qt::darkGreen);
    return picture;
}
} // namespace

class tst_DBSpeedButtonStore : public QObject
{
    Q_OBJECT

private slots:
    void init() { DefaultButtonLanguage = TDBButtonLanguage::blUSEnglish; }

    void freshButtonWritesOnlyWhatIsAlwaysStored();
    void navigationButtonOfTheQueryDialog();
    void runtimeEnabledRoundTrips_data();
    void runtimeEnabledRoundTrips();
    void standardPictureIsReloadedNotStored();
    void customPictureIsStored_data();
    void customPictureIsStored();
    void readingTheKindOnlySetsKindAndDefaultReasons();
    void enabledReadWhileLoadingLeavesRuntimeEnabledAlone();
    void otherPublishedPropertiesRoundTrip();
    void badFormsFail_data();
    void badFormsFail();
    void textValuesRoundTrip_data();
    void textValuesRoundTrip();
};

void tst_DBSpeedButtonStore::freshButtonWritesOnlyWhatIsAlwaysStored()
{
    TDBSpeedButton button;
    QCOMPARE(
        button.SaveProperties().Text(),
        QStringLiteral("DataButtonType = nbCustom\nDisableReasons = []\nRuntimeEnabled = True\n"));
}

void tst_DBSpeedButtonStore::navigationButtonOfTheQueryDialog()
{
    Table table(3);
    TDBSpeedButton button;
    button.SetDataButtonType(nbFirst);
    button.SetCaption(QString::fromUtf8("首筆"));
    button.SetHint(QString::fromUtf8("首筆記錄"));
    button.SetLayout(TButtonLayout::blGlyphTop);
    button.SetDisableReasons({drBOF, drEditing, drEmpty});
    button.SetDataSource(&table.Source);
    const QString text = button.SaveProperties().Text();
    // Disabled by the data (first row), not by the program: RuntimeEnabled
    // keeps that apart.
    QCOMPARE(text, QString::fromUtf8("Caption = '首筆'\n"
                                     "Enabled = False\n"
                                     "Hint = '首筆記錄'\n"
                                     "Layout = blGlyphTop\n"
                                     "NumGlyphs = 2\n"
                                     "DataButtonType = nbFirst\n"
                                     "DataSource = DS_Table\n"
                                     "DisableReasons = [drBOF, drEditing, drEmpty]\n"
                                     "RuntimeEnabled = True\n"));

    TDBSpeedButton loaded;
    Load(loaded, text, {&table.Source});
    QCOMPARE(loaded.Caption(), button.Caption());
    QCOMPARE(loaded.Hint(), button.Hint());
    QCOMPARE(loaded.Layout(), TButtonLayout::blGlyphTop);
    QCOMPARE(loaded.DataButtonType(), nbFirst);
    QCOMPARE(loaded.DataSource(), &table.Source);
    QCOMPARE(loaded.DisableReasons(), button.DisableReasons());
    QVERIFY(!loaded.Loading());
    QVERIFY(!loaded.Enabled()); // on the first row
    QCOMPARE(loaded.SaveProperties().Text(), text);
    table.DataSet.Next();
    QVERIFY(loaded.Enabled());
}

void tst_DBSpeedButtonStore::runtimeEnabledRoundTrips_data()
{
    QTest::addColumn<bool>("runtimeEnabled");
    QTest::newRow("on") << true;
    QTest::newRow("off") << false;
}

void tst_DBSpeedButtonStore::runtimeEnabledRoundTrips()
{
    QFETCH(bool, runtimeEnabled);
    Table table(3);
    table.DataSet.Next();
    TDBSpeedButton button;
    button.SetDataButtonType(nbNext);
    button.SetDataSource(&table.Source);
    button.SetEnabled(runtimeEnabled);
    const TStoredProperties stored = button.SaveProperties();
    QCOMPARE(stored.Value("RuntimeEnabled"), runtimeEnabled ? "True" : "False");
    QCOMPARE(stored.Contains("Enabled"), !runtimeEnabled);

    TDBSpeedButton loaded;
    Load(loaded, stored.Text(), {&table.Source});
    QCOMPARE(loaded.RuntimeEnabled(), runtimeEnabled);
    QCOMPARE(loaded.Enabled(), runtimeEnabled);
    table.DataSet.Next(); // the data can't switch a program-disabled button on
    QCOMPARE(loaded.Enabled(), runtimeEnabled);
    // Loaded without its data source, it waits disabled for one.
    TDBSpeedButton alone;
    Load(alone, stored.Text().remove("DataSource = DS_Table\n"));
    QVERIFY(!alone.Enabled());
}

void tst_DBSpeedButtonStore::standardPictureIsReloadedNotStored()
{
    TDBSpeedButton button;
    button.SetDataButtonType(nbPrior);
    const TStoredProperties stored = button.SaveProperties();
    QVERIFY(!stored.Contains("Glyph.Data"));
    TDBSpeedButton loaded;
    Load(loaded, stored.Text());
    QCOMPARE(loaded.Glyph(), button.Glyph());
    QCOMPARE(loaded.Glyph().width(), 20);
    QVERIFY(!loaded.GlyphCustomized());
}

void tst_DBSpeedButtonStore::customPictureIsStored_data()
{
    QTest::addColumn<TDBButtonType>("type");
    QTest::newRow("custom kind") << nbCustom;
    QTest::newRow("own picture on a standard kind") << nbLast;
}

void tst_DBSpeedButtonStore::customPictureIsStored()
{
    QFETCH(TDBButtonType, type);
    TDBSpeedButton button;
    button.SetDataButtonType(type);
    button.SetGlyph(OwnPicture());
    const TStoredProperties stored = button.SaveProperties();
    QVERIFY(stored.Contains("Glyph.Data"));
    TDBSpeedButton loaded;
    Load(loaded, stored.Text());
    QCOMPARE(loaded.Glyph().convertToFormat(QImage::Format_ARGB32), OwnPicture());
    QVERIFY(loaded.GlyphCustomized());
    QVERIFY(loaded.SaveProperties().Contains("Glyph.Data"));
}

void tst_DBSpeedButtonStore::readingTheKindOnlySetsKindAndDefaultReasons()
{
    TDBSpeedButton loaded;
    Load(loaded, "DataButtonType = nbNext\n");
    QCOMPARE(loaded.DataButtonType(), nbNext);
    QVERIFY(loaded.Hint().isEmpty());
    QCOMPARE(loaded.DisableReasons(), (TDBBDisableReasons{drEOF, drEditing, drEmpty}));
    QCOMPARE(loaded.Glyph().width(), 20); // reloaded at the end of loading

    TDBSpeedButton replaced;
    Load(replaced, "DataButtonType = nbNext\nDisableReasons = [drBOF]\n");
    QCOMPARE(replaced.DisableReasons(), TDBBDisableReasons{drBOF});
}

void tst_DBSpeedButtonStore::enabledReadWhileLoadingLeavesRuntimeEnabledAlone()
{
    Table table(3);
    TDBSpeedButton loaded;
    Load(loaded,
         "Enabled = False\nDataButtonType = nbNext\nDataSource = DS_Table\n"
         "DisableReasons = [drEOF]\nRuntimeEnabled = True\n",
         {&table.Source});
    QVERIFY(loaded.RuntimeEnabled());
    QVERIFY(loaded.Enabled());
}

void tst_DBSpeedButtonStore::otherPublishedPropertiesRoundTrip()
{
    Table table(3);
    TMenuItem item;
    item.setObjectName("N1");
    TDBSpeedButton button;
    button.SetDataButtonType(nbDelete);
    button.SetConfirmDelete(false);
    button.SetLanguage(TDBButtonLanguage::blGerman);
    button.SetMenuItem(&item);
    button.SetFlat(true);
    const TStoredProperties stored = button.SaveProperties();
    QCOMPARE(stored.Value("ConfirmDelete"), QStringLiteral("False"));
    QCOMPARE(stored.Value("Language"), QStringLiteral("blGerman"));
    QCOMPARE(stored.Value("MenuItem"), QStringLiteral("N1"));
    QCOMPARE(TStoredProperties::ReadString(stored.Value("Hint")), QString::fromUtf8("Löschen"));

    DefaultButtonLanguage = TDBButtonLanguage::blUSEnglish;
    TDBSpeedButton loaded;
    button.SetMenuItem(nullptr);
    Load(loaded, stored.Text(), {&item});
    QVERIFY(!loaded.ConfirmDelete());
    QCOMPARE(loaded.Language(), TDBButtonLanguage::blGerman);
    QCOMPARE(loaded.Hint(), QString::fromUtf8("Löschen"));
    QCOMPARE(loaded.MenuItem(), &item);
    QVERIFY(loaded.Flat());
    QCOMPARE(loaded.SaveProperties().Text(), stored.Text());
}

void tst_DBSpeedButtonStore::badFormsFail_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown property") << "Bogus = 1\n"
                                      << "Property Bogus does not exist";
    QTest::newRow("unknown member") << "DataButtonType = nbJump\n"
                                    << "Invalid property value";
    QTest::newRow("bad set") << "DisableReasons = drBOF\n"
                             << "Invalid property value";
    QTest::newRow("bad boolean") << "RuntimeEnabled = yes\n"
                                 << "Invalid property value";
    QTest::newRow("missing component") << "DataSource = DS_Gone\n"
                                       << "Invalid property value";
    QTest::newRow("open string") << "Caption = 'abc\n"
                                 << "Invalid property value";
    QTest::newRow("bad picture") << "Glyph.Data = {0102}\n"
                                 << "Invalid property value";
}

void tst_DBSpeedButtonStore::badFormsFail()
{
    QFETCH(QString, text);
    QFETCH(QString, message);
    TDBSpeedButton button;
    try {
        Load(button, text);
        QFAIL("no error");
    } catch (const Exception& e) {
        QCOMPARE(e.Message(), message);
    }
    QVERIFY(!button.Loading());
}

void tst_DBSpeedButtonStore::textValuesRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("quote") << "it's";
    QTest::newRow("lines") << "a\r\nb";
    QTest::newRow("leading control") << "\tx";
    QTest::newRow("Chinese") << QString::fromUtf8("次筆記錄");
}

void tst_DBSpeedButtonStore::textValuesRoundTrip()
{
    QFETCH(QString, text);
    TStoredProperties stored;
    stored.WriteString("Hint", text);
    const TStoredProperties read = TStoredProperties::FromText(stored.Text());
    QCOMPARE(read.Items().size(), 1);
    QCOMPARE(TStoredProperties::ReadString(read.Value("Hint")), text);
}

QTEST_MAIN(tst_DBSpeedButtonStore)
#include "tst_dbspeedbuttonstore.moc"
