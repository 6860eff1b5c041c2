#include "ESQLParamError.h"
#include "Exceptions.h"
#include "SQLTestConnection.h"
#include "SecondConnection.h"
#include "TSQLDataSet.h"
#include "TSQLQuery.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(TDbCharset)

// Chinese text through the connection's character set: Big5 on BIG_5 and
// NONE databases with an empty ServerCharSet, UTF8 when it says so, and a
// clear refusal for a character the set can't hold.
class tst_ServerCharSet : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void readsAndWritesChinese_data();
    void readsAndWritesChinese();
    void characterOutsideTheSetIsRefused_data();
    void characterOutsideTheSetIsRefused();
    void utf8HoldsWhatBig5Cannot_data() { AddBackendRows(); }
    void utf8HoldsWhatBig5Cannot();
    void otherNamedSetIsConvertedAndChecked_data() { AddBackendRows(); }
    void otherNamedSetIsConvertedAndChecked();
    void unknownSetFailsToConnect_data() { AddBackendRows(); }
    void unknownSetFailsToConnect();

private:
    static bool Prepare(const TestBackend& backend, TDbCharset charset,
                        const QString& serverCharSet, std::unique_ptr<TestDatabase>& db);
};

namespace
{

const QString Chinese = QStringLiteral("臺灣高山烏龍茶（特級）─ 300g 裝");

QString ReadName(TSQLConnection& c, const QString& id)
{
    TSQLDataSet ds;
    ds.SetSQLConnection(&c);
    ds.SetCommandText(QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id));
    auto cursor = ds.OpenCursor();
    if (!cursor->Next()) return QStringLiteral("<no row>");
    return QString::fromUtf8(cursor->GetText(0));
}

void WriteName(TSQLConnection& c, const QString& id, const QString& name)
{
    TSQLQuery q;
    q.setObjectName(QStringLiteral("SQLQuery1"));
    q.SetSQLConnection(&c);
    q.SQL().Add(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = :V"));
    q.SQL().Add(QStringLiteral("WHERE PROD_ID = :id"));
    q.ParamByName(QStringLiteral("V")).SetAsString(name);
    q.ParamByName(QStringLiteral("id")).SetAsString(id);
    q.ExecSQL();
}

} // namespace

bool tst_ServerCharSet::Prepare(const TestBackend& backend, TDbCharset charset,
                                const QString& serverCharSet, std::unique_ptr<TestDatabase>& db)
{
    TestDatabaseOptions options;
    options.Charset = charset;
    db = std::make_unique<TestDatabase>(backend, options);
    if (!db->IsValid()) {
        qWarning("%s", qPrintable(db->ErrorString()));
        return false;
    }
    QFile f(db->ConnectionsFile());
    if (!f.open(QIODevice::ReadWrite)) return false;
    QString text = QString::fromUtf8(f.readAll());
    text.replace(QRegularExpression(QStringLiteral("ServerCharSet=[^\n]*")),
                 QStringLiteral("ServerCharSet=") + serverCharSet);
    f.resize(0);
    f.write(text.toUtf8());
    return true;
}

void tst_ServerCharSet::readsAndWritesChinese_data()
{
    AddBackendColumn();
    QTest::addColumn<TDbCharset>("charset");
    QTest::addColumn<QString>("serverCharSet");
    for (const TestBackend& b : ConfiguredBackends()) {
        const QByteArray name = b.Name().toUtf8();
        const char* n = name.constData();
        QTest::addRow("%s:BIG_5 database", n) << b << TDbCharset::Big5 << "";
        if (b.IsFirebird()) {
            QTest::addRow("%s:NONE database of Big5 bytes", n) << b << TDbCharset::None << "";
            QTest::addRow("%s:UTF8 database", n) << b << TDbCharset::Utf8 << "UTF8";
            QTest::addRow("%s:BIG_5 database named", n) << b << TDbCharset::Big5 << "BIG_5";
        } else {
            QTest::addRow("%s:UTF8 connection", n) << b << TDbCharset::Big5 << "UTF8";
        }
    }
}

void tst_ServerCharSet::readsAndWritesChinese()
{
    QFETCH(TestBackend, backend);
    QFETCH(TDbCharset, charset);
    QFETCH(QString, serverCharSet);
    std::unique_ptr<TestDatabase> db;
    QVERIFY(Prepare(backend, charset, serverCharSet, db));
    SecondConnection second(*db);
    const QList<QVariantList> rows =
        second.QueryRows(QStringLiteral("SELECT PROD_ID, PROD_NAME FROM PRODUCT ORDER BY PROD_ID"));
    QVERIFY(rows.size() >= 2);
    const QString id = rows[0][0].toString();
    // The maker's names are Chinese: read them as the second connection does.
    QVERIFY(rows[0][1].toString().contains(
        QRegularExpression(QStringLiteral("[\\x{4E00}-\\x{9FFF}]"))));

    auto c = OpenTestConnection();
    QCOMPARE(ReadName(*c, id), rows[0][1].toString());
    QCOMPARE(ReadName(*c, rows[1][0].toString()), rows[1][1].toString());

    WriteName(*c, id, Chinese);
    QCOMPARE(second
                 .QueryValue(
                     QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
                 .toString(),
             Chinese);
    QCOMPARE(ReadName(*c, id), Chinese);
    if (backend.IsFirebird() && charset != TDbCharset::Utf8) {
        // Stored as Big5: two bytes for every character beyond ASCII.
        const int ascii = 6;
        QCOMPARE(second
                     .QueryValue(QStringLiteral("SELECT OCTET_LENGTH(PROD_NAME) FROM PRODUCT "
                                                "WHERE PROD_ID = '%1'")
                                     .arg(id))
                     .toInt(),
                 ascii + 2 * (Chinese.size() - ascii));
    }
    // Chinese in the statement's text itself, as a search condition writes it.
    TSQLDataSet ds;
    ds.SetSQLConnection(c.get());
    ds.SetCommandText(
        QStringLiteral("SELECT PROD_ID FROM PRODUCT WHERE PROD_NAME LIKE '%烏龍茶%'"));
    auto cursor = ds.OpenCursor();
    QVERIFY(cursor->Next());
    QCOMPARE(QString::fromUtf8(cursor->GetText(0)), id);
}

void tst_ServerCharSet::characterOutsideTheSetIsRefused_data()
{
    AddBackendColumn();
    QTest::addColumn<TDbCharset>("charset");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("character");
    for (const TestBackend& b : ConfiguredBackends()) {
        const QByteArray name = b.Name().toUtf8();
        const char* n = name.constData();
        QTest::addRow("%s:emoji", n) << b << TDbCharset::Big5 << "好茶😀"
                                     << "character '😀' (U+1F600)";
        QTest::addRow("%s:extension B", n) << b << TDbCharset::Big5 << "𠀀"
                                           << "character '𠀀' (U+20000)";
        QTest::addRow("%s:simplified only", n) << b << TDbCharset::Big5 << "乌龙茶"
                                               << "character '乌' (U+4E4C)";
        if (b.IsFirebird())
            QTest::addRow("%s:NONE database", n) << b << TDbCharset::None << "茶😀"
                                                 << "character '😀' (U+1F600)";
    }
}

void tst_ServerCharSet::characterOutsideTheSetIsRefused()
{
    QFETCH(TestBackend, backend);
    QFETCH(TDbCharset, charset);
    QFETCH(QString, text);
    QFETCH(QString, character);
    std::unique_ptr<TestDatabase> db;
    QVERIFY(Prepare(backend, charset, QString(), db));
    SecondConnection second(*db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    const QString before =
        second
            .QueryValue(
                QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
            .toString();

    auto c = OpenTestConnection();
    try {
        WriteName(*c, id, text);
        QFAIL("no error");
    } catch (const ESQLParamError& e) {
        QCOMPARE(e.Message(), QStringLiteral("SQLQuery1: Invalid value for parameter 'V': %1 "
                                             "can't be written in character set BIG_5")
                                  .arg(character));
    }
    QCOMPARE(second
                 .QueryValue(
                     QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
                 .toString(),
             before);
    QCOMPARE(
        second.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE PROD_NAME LIKE '%?%'"))
            .toInt(),
        0);

    // In the statement's own text too.
    try {
        c->Execute(QStringLiteral("UPDATE PRODUCT SET PROD_NAME = '%1' WHERE PROD_ID = '%2'")
                       .arg(text, id),
                   {});
        QFAIL("no error");
    } catch (const EDatabaseError& e) {
        QVERIFY2(e.Message().startsWith(QStringLiteral("The statement holds a ") + character),
                 qPrintable(e.Message()));
    }
    QCOMPARE(second
                 .QueryValue(
                     QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
                 .toString(),
             before);
}

void tst_ServerCharSet::utf8HoldsWhatBig5Cannot()
{
    QFETCH(TestBackend, backend);
    std::unique_ptr<TestDatabase> db;
    QVERIFY(Prepare(backend, TDbCharset::Utf8, QStringLiteral("UTF8"), db));
    SecondConnection second(*db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    auto c = OpenTestConnection();
    const QString text = QStringLiteral("乌龙茶 𠀀 😀");
    WriteName(*c, id, text);
    QCOMPARE(second
                 .QueryValue(
                     QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
                 .toString(),
             text);
    QCOMPARE(ReadName(*c, id), text);
}

void tst_ServerCharSet::otherNamedSetIsConvertedAndChecked()
{
    QFETCH(TestBackend, backend);
    std::unique_ptr<TestDatabase> db;
    QVERIFY(Prepare(backend, TDbCharset::Utf8, QStringLiteral("ISO8859_1"), db));
    SecondConnection second(*db);
    const QString id =
        second.QueryValue(QStringLiteral("SELECT MIN(PROD_ID) FROM PRODUCT")).toString();
    auto c = OpenTestConnection();
    WriteName(*c, id, QStringLiteral("Café crème"));
    QCOMPARE(second
                 .QueryValue(
                     QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '%1'").arg(id))
                 .toString(),
             QStringLiteral("Café crème"));
    QCOMPARE(ReadName(*c, id), QStringLiteral("Café crème"));
    try {
        WriteName(*c, id, QStringLiteral("茶"));
        QFAIL("no error");
    } catch (const ESQLParamError& e) {
        QCOMPARE(
            e.Reason(),
            QStringLiteral("character '茶' (U+8336) can't be written in character set ISO8859_1"));
    }
    QCOMPARE(ReadName(*c, id), QStringLiteral("Café crème"));
}

void tst_ServerCharSet::unknownSetFailsToConnect()
{
    QFETCH(TestBackend, backend);
    std::unique_ptr<TestDatabase> db;
    QVERIFY(Prepare(backend, TDbCharset::Big5, QStringLiteral("KLINGON"), db));
    try {
        OpenTestConnection();
        QFAIL("connected");
    } catch (const EDatabaseError& e) {
        QCOMPARE(e.Message(), QStringLiteral("Unsupported ServerCharSet 'KLINGON'"));
    }
}

QTEST_GUILESS_MAIN(tst_ServerCharSet)
#include "tst_servercharset.moc"
