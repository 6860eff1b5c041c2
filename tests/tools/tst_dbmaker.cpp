#include "ProductCatalogue.h"
#include "SecondConnection.h"
#include "TestBackends.h"
#include "TestDatabase.h"
#include "tools/Big5Iconv.h"
#include "tools/DbMaker.h"
#include "tools/DemoData.h"
#include "tools/FbDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <cmath>

Q_DECLARE_METATYPE(TDbCharset)

namespace
{

struct Column {
    QString Name;
    QString Type;  // as declared: VARCHAR(n), INTEGER, DOUBLE PRECISION
    int Bytes = 0; // what a VARCHAR takes in the database
    bool PrimaryKey = false;
};

int BytesPerCharacter(TDbCharset charset)
{
    switch (charset) {
    case TDbCharset::Big5:
        return 2;
    case TDbCharset::None:
        return 1;
    case TDbCharset::Utf8:
        return 4;
    }
    return 0;
}

QList<Column> Columns(SecondConnection& connection, const TestBackend& backend,
                      const QString& table)
{
    QList<Column> columns;
    if (!backend.IsFirebird()) {
        for (const QVariantList& row :
             connection.QueryRows(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
            columns.append({row[1].toString(), row[2].toString(), 0, row[5].toInt() == 1});
        return columns;
    }
    const QVariant key = connection.QueryValue(
        QStringLiteral("SELECT TRIM(S.RDB$FIELD_NAME) FROM RDB$RELATION_CONSTRAINTS C "
                       "JOIN RDB$INDEX_SEGMENTS S ON S.RDB$INDEX_NAME = C.RDB$INDEX_NAME "
                       "WHERE C.RDB$RELATION_NAME = '%1' AND C.RDB$CONSTRAINT_TYPE = "
                       "'PRIMARY KEY'")
            .arg(table));
    const auto rows = connection.QueryRows(
        QStringLiteral("SELECT TRIM(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, "
                       "F.RDB$CHARACTER_LENGTH, F.RDB$FIELD_LENGTH "
                       "FROM RDB$RELATION_FIELDS RF "
                       "JOIN RDB$FIELDS F ON F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                       "WHERE RF.RDB$RELATION_NAME = '%1' ORDER BY RF.RDB$FIELD_POSITION")
            .arg(table));
    for (const QVariantList& row : rows) {
        Column column;
        column.Name = row[0].toString();
        switch (row[1].toInt()) {
        case 37:
            column.Type = QStringLiteral("VARCHAR(%1)").arg(row[2].toInt());
            column.Bytes = row[3].toInt();
            break;
        case 8:
            column.Type = QStringLiteral("INTEGER");
            break;
        case 27:
            column.Type = QStringLiteral("DOUBLE PRECISION");
            break;
        default:
            column.Type = QStringLiteral("type %1").arg(row[1].toInt());
        }
        column.PrimaryKey = column.Name == key.toString();
        columns.append(column);
    }
    return columns;
}

QString ColumnList()
{
    QStringList names;
    for (const TProductFieldDef& field : ProductCatalogue::Fields)
        names.append(field.Name());
    return names.join(QStringLiteral(", "));
}

QVariant Expected(const TDemoValue& value)
{
    if (const auto* text = std::get_if<QString>(&value)) return *text;
    if (const auto* integer = std::get_if<qint32>(&value)) return qint64(*integer);
    if (const auto* number = std::get_if<double>(&value)) return *number;
    return {};
}

// Same value and same kind: a number stored as text, or the other way round,
// does not pass.
bool SameValue(const QVariant& actual, const QVariant& expected)
{
    if (expected.isNull() || actual.isNull()) return expected.isNull() == actual.isNull();
    if (expected.typeId() == QMetaType::Double)
        return actual.typeId() == QMetaType::Double && actual.toDouble() == expected.toDouble();
    if (expected.typeId() == QMetaType::LongLong)
        return actual.typeId() == QMetaType::LongLong &&
               actual.toLongLong() == expected.toLongLong();
    return actual.typeId() == QMetaType::QString && actual.toString() == expected.toString();
}

QString Show(const QVariant& value)
{
    return value.isNull() ? QStringLiteral("null")
                          : QStringLiteral("%1 (%2)").arg(value.toString(), value.typeName());
}

// isql's SET LIST output: one "NAME   value" line per column.
QHash<QString, QString> IsqlList(const QString& output)
{
    QHash<QString, QString> values;
    static const QRegularExpression line(QStringLiteral("^(\\S+)\\s+(.*?)\\s*$"),
                                         QRegularExpression::MultilineOption);
    for (auto match = line.globalMatch(output); match.hasNext();) {
        const auto found = match.next();
        values.insert(found.captured(1), found.captured(2));
    }
    return values;
}

QString MakeDemoDb()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("makedemodb"));
}

// A database of the backend's kind that no fixture owns.
QString LooseDatabase(const TestBackend& backend, const QTemporaryDir& dir, const QString& name)
{
    if (backend.Type != TestBackend::Server)
        return dir.filePath(
            name + (backend.IsFirebird() ? QStringLiteral(".fdb") : QStringLiteral(".db")));
    return ServerHost() + QStringLiteral(":/tmp/massamend-server-tests/") +
           QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral(".fdb");
}

void DropFromServer(const TestBackend& backend, const QString& database)
{
    if (backend.Type != TestBackend::Server) return;
    try {
        TFbDatabase(database, QStringLiteral("SYSDBA"), ServerPassword(), TDbCharset::Big5).Drop();
    } catch (const std::exception& error) {
        qWarning("%s", error.what());
    }
}

void AddBackendAndCharsetRows()
{
    AddBackendColumn();
    QTest::addColumn<TDbCharset>("charset");
    for (const TestBackend& backend : ConfiguredBackends()) {
        if (!backend.IsFirebird()) {
            QTest::addRow("%s", qPrintable(backend.Name())) << backend << TDbCharset::Big5;
            continue;
        }
        for (TDbCharset charset : {TDbCharset::Big5, TDbCharset::None, TDbCharset::Utf8})
            QTest::addRow("%s:%s", qPrintable(backend.Name()), qPrintable(CharsetName(charset)))
                << backend << charset;
    }
}

} // namespace

class tst_DbMaker : public QObject
{
    Q_OBJECT

private slots:
    void productHasTheCatalogueColumns_data() { AddBackendAndCharsetRows(); }
    void productHasTheCatalogueColumns();
    void lookupTablesAreKeyedByCode_data() { AddBackendRows(); }
    void lookupTablesAreKeyedByCode();
    void rowCounts_data();
    void rowCounts();
    void rowsAreTheSeedsProducts_data() { AddBackendAndCharsetRows(); }
    void rowsAreTheSeedsProducts();
    void sameSeedMakesTheSameDatabase_data() { AddBackendRows(); }
    void sameSeedMakesTheSameDatabase();
    void chineseTextReadsBackThroughTheEnginesOwnTool_data() { AddBackendAndCharsetRows(); }
    void chineseTextReadsBackThroughTheEnginesOwnTool();
    void textsFitTheirColumnsInBig5Bytes_data() { AddBackendRows(); }
    void textsFitTheirColumnsInBig5Bytes();
    void lookupNamesMatchTheirCodes_data() { AddBackendRows(); }
    void lookupNamesMatchTheirCodes();
    void valuesLookLikeAShopsRecords_data() { AddBackendRows(); }
    void valuesLookLikeAShopsRecords();
    void iniFilesDescribeTheDatabase_data() { AddBackendAndCharsetRows(); }
    void iniFilesDescribeTheDatabase();
    void existingDatabaseIsReplacedOnlyWithForce_data() { AddBackendRows(); }
    void existingDatabaseIsReplacedOnlyWithForce();
    void unreachablePlaceFailsWithItsName_data() { AddBackendRows(); }
    void unreachablePlaceFailsWithItsName();
    void commandLineMakesDatabaseAndIniFiles_data() { AddBackendRows(); }
    void commandLineMakesDatabaseAndIniFiles();
    void commandLineRefusesBadOptions_data();
    void commandLineRefusesBadOptions();
    void userSetupMakesTheDemoAndPointsTheUsersSettingsAtIt_data() { AddBackendRows(); }
    void userSetupMakesTheDemoAndPointsTheUsersSettingsAtIt();
};

void tst_DbMaker::productHasTheCatalogueColumns()
{
    QFETCH(TestBackend, backend);
    QFETCH(TDbCharset, charset);
    TestDatabase db(backend, {.Products = 1, .Charset = charset});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);
    QVERIFY(connection.IsOpen());

    const QList<Column> columns = Columns(connection, backend, QStringLiteral("PRODUCT"));
    QCOMPARE(columns.size(), 105);
    for (int i = 0; i < columns.size(); ++i) {
        const TProductFieldDef& field = ProductCatalogue::Fields[i];
        const Column& column = columns[i];
        QCOMPARE(column.Name, field.Name());
        switch (field.DataType) {
        case TFieldType::ftString:
            QCOMPARE(column.Type, QStringLiteral("VARCHAR(%1)").arg(field.Size));
            if (backend.IsFirebird())
                QCOMPARE(column.Bytes, field.Size * BytesPerCharacter(charset));
            break;
        case TFieldType::ftInteger:
            QCOMPARE(column.Type, QStringLiteral("INTEGER"));
            break;
        default:
            QCOMPARE(column.Type, QStringLiteral("DOUBLE PRECISION"));
        }
        QCOMPARE(column.PrimaryKey, i == 0);
    }
    if (backend.IsFirebird())
        QCOMPARE(
            connection
                .QueryValue(QStringLiteral("SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE"))
                .toString(),
            CharsetName(charset));
}

void tst_DbMaker::lookupTablesAreKeyedByCode()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend, {.Products = 1});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);

    const struct {
        const char* Table;
        QList<QPair<QString, QString>> Columns;
    } expected[] = {
        {"PROVIDER", {{"PROVIDER_ID", "VARCHAR(10)"}, {"PROVIDER_NAME", "VARCHAR(50)"}}},
        {"PROD_ITEM", {{"PD_ITEMID", "VARCHAR(10)"}, {"PD_ITEMNAME", "VARCHAR(20)"}}},
        {"PROD_CLASS", {{"PD_CLASSID", "VARCHAR(5)"}, {"PD_CLASSNAME", "VARCHAR(10)"}}},
    };
    for (const auto& table : expected) {
        const QList<Column> columns = Columns(connection, backend, QLatin1String(table.Table));
        QCOMPARE(columns.size(), 2);
        for (int i = 0; i < 2; ++i) {
            QCOMPARE(columns[i].Name, table.Columns[i].first);
            QCOMPARE(columns[i].Type, table.Columns[i].second);
        }
        QVERIFY(columns[0].PrimaryKey);
        QVERIFY(!columns[1].PrimaryKey);
    }
}

void tst_DbMaker::rowCounts_data()
{
    AddBackendColumn();
    QTest::addColumn<int>("products");
    QTest::addColumn<bool>("withDemoRow");
    for (const TestBackend& backend : ConfiguredBackends()) {
        const QByteArray utf8Name = backend.Name().toUtf8();
        const char* name = utf8Name.constData();
        QTest::addRow("%s:none", name) << backend << 0 << false;
        QTest::addRow("%s:demo row only", name) << backend << 0 << true;
        QTest::addRow("%s:37", name) << backend << 37 << false;
        QTest::addRow("%s:37 and demo row", name) << backend << 37 << true;
    }
}

void tst_DbMaker::rowCounts()
{
    QFETCH(TestBackend, backend);
    QFETCH(int, products);
    QFETCH(bool, withDemoRow);
    TestDatabase db(backend, {.Products = products, .WithDemoRow = withDemoRow});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);

    QCOMPARE(connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT")).toInt(),
             products + (withDemoRow ? 1 : 0));
    QCOMPARE(
        connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE PROD_ID = '-1'"))
            .toInt(),
        withDemoRow ? 1 : 0);
    for (const TLookupTableDef& table : ProductCatalogue::LookupTables) {
        const QString name = QString::fromUtf8(table.TableName.data(), table.TableName.size());
        QCOMPARE(connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM ") + name).toInt(),
                 int(TDemoData::LookupRows(name).size()));
    }
}

void tst_DbMaker::rowsAreTheSeedsProducts()
{
    QFETCH(TestBackend, backend);
    QFETCH(TDbCharset, charset);
    TestDatabase db(backend, {.Products = 40, .Seed = 7, .Charset = charset, .WithDemoRow = true});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);

    const auto rows = connection.QueryRows(
        QStringLiteral("SELECT %1 FROM PRODUCT ORDER BY PROD_ID").arg(ColumnList()));
    QCOMPARE(rows.size(), 41);
    const TDemoData data(7);
    for (int r = 0; r < rows.size(); ++r) {
        // "-1" sorts first.
        const TDemoRow expected = r == 0 ? data.DemoProduct() : data.Product(r - 1);
        for (int c = 0; c < int(expected.size()); ++c)
            QVERIFY2(SameValue(rows[r][c], Expected(expected[c])),
                     qPrintable(QStringLiteral("row %1, %2: %3, expected %4")
                                    .arg(r)
                                    .arg(ProductCatalogue::Fields[c].Name(), Show(rows[r][c]),
                                         Show(Expected(expected[c])))));
    }
}

void tst_DbMaker::sameSeedMakesTheSameDatabase()
{
    QFETCH(TestBackend, backend);
    const QString select =
        QStringLiteral("SELECT %1 FROM PRODUCT ORDER BY PROD_ID").arg(ColumnList());
    auto rowsOf = [&](quint32 seed, int products) {
        TestDatabase db(backend, {.Products = products, .Seed = seed, .Cached = false});
        if (!db.IsValid()) qWarning("%s", qPrintable(db.ErrorString()));
        SecondConnection connection(db);
        return connection.QueryRows(select);
    };

    const auto first = rowsOf(3, 25);
    QCOMPARE(first.size(), 25);
    QCOMPARE(rowsOf(3, 25), first);
    // A product depends on the seed and its number only.
    QCOMPARE(rowsOf(3, 10), first.mid(0, 10));
    const auto other = rowsOf(4, 25);
    QCOMPARE(other.size(), 25);
    QVERIFY(other != first);
}

void tst_DbMaker::chineseTextReadsBackThroughTheEnginesOwnTool()
{
    QFETCH(TestBackend, backend);
    QFETCH(TDbCharset, charset);
    TestDatabase db(backend, {.Products = 3, .Seed = 11, .Charset = charset});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    const TDemoRow product = TDemoData(11).Product(1);
    const QString name = std::get<QString>(product[ProductCatalogue::IndexOf("PROD_NAME")]);
    const QString provider = std::get<QString>(product[ProductCatalogue::IndexOf("PROVIDER_NAME")]);
    QVERIFY(TBig5Iconv::ByteLength(name) > name.size());

    if (!backend.IsFirebird()) {
        QProcess sqlite;
        sqlite.start(QStringLiteral("sqlite3"),
                     {db.Database(), QStringLiteral("SELECT PROD_NAME, PROVIDER_NAME FROM PRODUCT "
                                                    "WHERE PROD_ID = '100002'")});
        QVERIFY(sqlite.waitForFinished(-1));
        QCOMPARE(QString::fromUtf8(sqlite.readAllStandardOutput()).trimmed(),
                 name + QLatin1Char('|') + provider);
        return;
    }

    const QHash<QString, QString> values = IsqlList(db.Isql(QStringLiteral(
        "SET LIST ON;\nSELECT PROD_NAME, PROVIDER_NAME, OCTET_LENGTH(PROD_NAME) AS NAME_BYTES "
        "FROM PRODUCT WHERE PROD_ID = '100002';\n")));
    QCOMPARE(values.value(QStringLiteral("PROD_NAME")), name);
    QCOMPARE(values.value(QStringLiteral("PROVIDER_NAME")), provider);
    // BIG_5 and NONE hold the Big5 bytes themselves.
    const int bytes =
        charset == TDbCharset::Utf8 ? int(name.toUtf8().size()) : TBig5Iconv::ByteLength(name);
    QCOMPARE(values.value(QStringLiteral("NAME_BYTES")).toInt(), bytes);
}

void tst_DbMaker::textsFitTheirColumnsInBig5Bytes()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend, {.Products = 1500, .WithDemoRow = true});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);

    QList<int> textColumns;
    QStringList lengths;
    for (int i = 0; i < int(ProductCatalogue::Fields.size()); ++i) {
        if (ProductCatalogue::Fields[i].DataType != TFieldType::ftString) continue;
        textColumns.append(i);
        lengths.append(
            backend.IsFirebird()
                ? QStringLiteral("MAX(OCTET_LENGTH(%1))").arg(ProductCatalogue::Fields[i].Name())
                : ProductCatalogue::Fields[i].Name());
    }
    QList<int> longest(textColumns.size(), 0);
    const auto rows = connection.QueryRows(
        QStringLiteral("SELECT %1 FROM PRODUCT").arg(lengths.join(QStringLiteral(", "))));
    for (const QVariantList& row : rows)
        for (int i = 0; i < textColumns.size(); ++i)
            longest[i] =
                std::max(longest[i], backend.IsFirebird()
                                         ? row[i].toInt()
                                         : int(TBig5Iconv::Encode(row[i].toString()).size()));
    for (int i = 0; i < textColumns.size(); ++i) {
        const TProductFieldDef& field = ProductCatalogue::Fields[textColumns[i]];
        QVERIFY2(longest[i] <= field.Size,
                 qPrintable(QStringLiteral("%1 holds %2 bytes").arg(field.Name()).arg(longest[i])));
    }
    // Names are real names, not stubs.
    QVERIFY(longest[textColumns.indexOf(ProductCatalogue::IndexOf("PROD_NAME"))] > 10);
}

void tst_DbMaker::lookupNamesMatchTheirCodes()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend, {.Products = 1500});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);

    for (const TLookupTableDef& table : ProductCatalogue::LookupTables) {
        const auto text = [](std::string_view name) {
            return QString::fromUtf8(name.data(), name.size());
        };
        const QString lookup = text(table.TableName);
        const QString code = text(table.CodeColumn);
        const QString name = text(table.NameColumn);
        QCOMPARE(connection
                     .QueryValue(
                         QStringLiteral("SELECT COUNT(*) FROM PRODUCT P JOIN %1 L ON L.%2 = P.%2 "
                                        "WHERE P.%3 IS DISTINCT FROM L.%3")
                             .arg(lookup, code, name))
                     .toInt(),
                 0);
        const QString orphans = QStringLiteral("SELECT COUNT(*) FROM PRODUCT P WHERE NOT EXISTS "
                                               "(SELECT 1 FROM %1 L WHERE L.%2 = P.%2)")
                                    .arg(lookup, code);
        QVERIFY2(connection.QueryValue(orphans).toInt() > 0,
                 qPrintable(QStringLiteral("no %1 without a row in %2").arg(code, lookup)));
        QCOMPARE(connection.QueryValue(orphans + QStringLiteral(" AND P.%1 IS NOT NULL").arg(name))
                     .toInt(),
                 0);
        QCOMPARE(connection
                     .QueryValue(
                         QStringLiteral("SELECT COUNT(*) FROM PRODUCT WHERE %1 IS NULL").arg(code))
                     .toInt(),
                 0);
    }
}

void tst_DbMaker::valuesLookLikeAShopsRecords()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend, {.Products = 300});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));
    SecondConnection connection(db);

    const auto rows = connection.QueryRows(QStringLiteral(
        "SELECT PROD_ID, PROD_BARCODE, PROD_NAME, PSALE_PRICE, VIP_PRICE, STD_COST, CR_DATE, "
        "CHG_DATE, CHG_TIME, PUT_ID FROM PRODUCT"));
    QCOMPARE(rows.size(), 300);
    static const QRegularExpression code(QStringLiteral("^\\d{6}$"));
    static const QRegularExpression barcode(QStringLiteral("^471\\d{10}$"));
    static const QRegularExpression date(
        QStringLiteral("^20\\d\\d/(0[1-9]|1[0-2])/(0[1-9]|[12]\\d|3[01])$"));
    static const QRegularExpression time(QStringLiteral("^([01]\\d|2[0-3]):[0-5]\\d:[0-5]\\d$"));
    static const QRegularExpression putId(QStringLiteral("^\\d{5}$"));
    static const QRegularExpression chinese(QStringLiteral("\\p{Han}"));
    auto cents = [](const QVariant& value) {
        return std::abs(value.toDouble() * 100 - std::round(value.toDouble() * 100)) < 1e-6;
    };
    for (const QVariantList& row : rows) {
        const QString id = row[0].toString();
        QVERIFY2(code.match(id).hasMatch(), qPrintable(id));
        const QString ean = row[1].toString();
        QVERIFY2(barcode.match(ean).hasMatch(), qPrintable(ean));
        int sum = 0;
        for (int i = 0; i < 13; ++i)
            sum += ean.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
        QVERIFY2(sum % 10 == 0, qPrintable(id + QStringLiteral(": check digit of ") + ean));
        QVERIFY2(chinese.match(row[2].toString()).hasMatch(), qPrintable(row[2].toString()));
        QVERIFY(!row[3].isNull() && !row[4].isNull());
        QVERIFY(row[3].toDouble() > 0 && row[4].toDouble() <= row[3].toDouble());
        QVERIFY2(cents(row[3]) && cents(row[4]) && cents(row[5]), qPrintable(id));
        QVERIFY2(row[5].toDouble() < row[3].toDouble(), qPrintable(id));
        QVERIFY2(date.match(row[6].toString()).hasMatch(), qPrintable(row[6].toString()));
        QVERIFY2(date.match(row[7].toString()).hasMatch(), qPrintable(row[7].toString()));
        QVERIFY(row[6].toString() <= row[7].toString());
        QVERIFY2(time.match(row[8].toString()).hasMatch(), qPrintable(row[8].toString()));
        QVERIFY2(putId.match(row[9].toString()).hasMatch(), qPrintable(row[9].toString()));
    }
    QCOMPARE(
        connection.QueryValue(QStringLiteral("SELECT COUNT(DISTINCT PROD_BARCODE) FROM PRODUCT"))
            .toInt(),
        300);
}

void tst_DbMaker::iniFilesDescribeTheDatabase()
{
    QFETCH(TestBackend, backend);
    QFETCH(TDbCharset, charset);
    TestDatabase db(backend, {.Products = 1, .Charset = charset});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));

    QFile connections(db.ConnectionsFile());
    QVERIFY(connections.open(QIODevice::ReadOnly));
    const QStringList expected = {
        QStringLiteral("[Tallon]"),
        backend.IsFirebird() ? QStringLiteral("DriverName=Interbase")
                             : QStringLiteral("DriverName=SQLite"),
        QStringLiteral("Database=") + db.Database(),
        QStringLiteral("RoleName=RoleName"),
        QStringLiteral("User_Name=SYSDBA"),
        QStringLiteral("Password=") + db.Options().Password,
        charset == TDbCharset::Utf8 ? QStringLiteral("ServerCharSet=UTF8")
                                    : QStringLiteral("ServerCharSet="),
        QStringLiteral("SQLDialect=3"),
        QStringLiteral("BlobSize=-1"),
        QStringLiteral("CommitRetain=False"),
        QStringLiteral("WaitOnLocks=True"),
        QStringLiteral("ErrorResourceFile="),
        QStringLiteral("LocaleCode=0000"),
        QStringLiteral("Interbase TransIsolation=ReadCommited"),
        QStringLiteral("Trim Char=False"),
    };
    QCOMPARE(QString::fromUtf8(connections.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             expected);
    if (backend.Type == TestBackend::Server)
        QVERIFY(db.Database().startsWith(ServerHost() + QStringLiteral(":/")));

    QFile drivers(db.DriversFile());
    QVERIFY(drivers.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(drivers.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
             QStringList({"[Interbase]", "LibraryName=firebird", "VendorLib=libfbclient.so.2",
                          "GetDriverFunc=isc_attach_database", "[SQLite]", "LibraryName=sqlite",
                          "VendorLib=libsqlite3.so.0", "GetDriverFunc=sqlite3_open_v2"}));

    const QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                             QStringLiteral("MassAmend"), QStringLiteral("SQLDriver"));
    QCOMPARE(settings.value(QStringLiteral("Connection Registry File")).toString(),
             db.ConnectionsFile());
    QCOMPARE(settings.value(QStringLiteral("Driver Registry File")).toString(), db.DriversFile());
}

void tst_DbMaker::existingDatabaseIsReplacedOnlyWithForce()
{
    QFETCH(TestBackend, backend);
    TestDatabase db(backend, {.Products = 5, .Cached = false});
    QVERIFY2(db.IsValid(), qPrintable(db.ErrorString()));

    TDbOptions options = db.Options();
    options.Products = 2;
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, TDbMaker(options).Make());
    {
        SecondConnection connection(db);
        QCOMPARE(connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT")).toInt(), 5);
    }
    options.Force = true;
    TDbMaker(options).Make();
    SecondConnection connection(db);
    QCOMPARE(connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT")).toInt(), 2);
}

void tst_DbMaker::unreachablePlaceFailsWithItsName()
{
    QFETCH(TestBackend, backend);
    TDbOptions options;
    options.Backend = backend.IsFirebird() ? TDbBackend::Firebird : TDbBackend::SQLite;
    options.Database = QStringLiteral("/no-such-folder/shop.db");
    if (backend.Type == TestBackend::Server) {
        options.Database.prepend(ServerHost() + QLatin1Char(':'));
        options.Password = ServerPassword();
    }
    try {
        TDbMaker(options).Make();
        QFAIL("made a database in a folder that does not exist");
    } catch (const std::runtime_error& error) {
        QVERIFY2(
            QString::fromUtf8(error.what()).contains(QStringLiteral("/no-such-folder/shop.db")),
            error.what());
    }
    QVERIFY(!QFile::exists(QStringLiteral("/no-such-folder")));
}

void tst_DbMaker::commandLineMakesDatabaseAndIniFiles()
{
    QFETCH(TestBackend, backend);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString database = LooseDatabase(backend, dir, QStringLiteral("cli"));
    const QString iniDir = dir.filePath(QStringLiteral("bin"));

    QProcess maker;
    maker.start(MakeDemoDb(),
                {QStringLiteral("--backend"),
                 backend.IsFirebird() ? QStringLiteral("firebird") : QStringLiteral("sqlite"),
                 QStringLiteral("--database"), database, QStringLiteral("--products"),
                 QStringLiteral("4"), QStringLiteral("--seed"), QStringLiteral("9"),
                 QStringLiteral("--charset"), QStringLiteral("none"), QStringLiteral("--password"),
                 ServerPassword(), QStringLiteral("--with-demo-row"), QStringLiteral("--ini-dir"),
                 iniDir});
    QVERIFY(maker.waitForFinished(-1));
    QVERIFY2(maker.exitCode() == 0, maker.readAllStandardError().constData());

    TDbOptions options;
    options.Backend = backend.IsFirebird() ? TDbBackend::Firebird : TDbBackend::SQLite;
    options.Database = database;
    options.Charset = TDbCharset::None;
    options.Password = ServerPassword();
    {
        SecondConnection connection(backend, options);
        QCOMPARE(connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT")).toInt(), 5);
        QCOMPARE(connection.QueryValue(
                     QStringLiteral("SELECT PROD_NAME FROM PRODUCT WHERE PROD_ID = '100001'")),
                 Expected(TDemoData(9).Product(0)[ProductCatalogue::IndexOf("PROD_NAME")]));
        if (backend.IsFirebird())
            QCOMPARE(connection
                         .QueryValue(QStringLiteral(
                             "SELECT TRIM(RDB$CHARACTER_SET_NAME) FROM RDB$DATABASE"))
                         .toString(),
                     QStringLiteral("NONE"));
    }
    DropFromServer(backend, database);

    QFile connections(QDir(iniDir).filePath(QStringLiteral("dbxconnections.ini")));
    QVERIFY(connections.open(QIODevice::ReadOnly));
    QVERIFY(connections.readAll().contains("\nDatabase=" + database.toUtf8() + "\n"));
    QVERIFY(QFile::exists(QDir(iniDir).filePath(QStringLiteral("dbxdrivers.ini"))));
}

void tst_DbMaker::commandLineRefusesBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");
    const QString file = QStringLiteral("/tmp/never-made.fdb");
    QTest::newRow("no database") << QStringList{} << 2 << "--database is required";
    QTest::newRow("unknown backend")
        << QStringList{"--backend", "oracle", "--database", file} << 2 << "unknown backend oracle";
    QTest::newRow("products not a number")
        << QStringList{"--products", "many", "--database", file} << 2 << "--products";
    QTest::newRow("negative products")
        << QStringList{"--products", "-3", "--database", file} << 2 << "--products";
    QTest::newRow("unknown character set") << QStringList{"--charset", "LATIN1", "--database", file}
                                           << 2 << "unknown character set LATIN1";
    QTest::newRow("stray argument")
        << QStringList{"--database", file, "extra"} << 2 << "unexpected argument extra";
    QTest::newRow("existing file without force")
        << QStringList{"--backend", "sqlite", "--database", QCoreApplication::applicationFilePath()}
        << 1 << "use --force";
}

void tst_DbMaker::commandLineRefusesBadOptions()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QProcess maker;
    maker.start(MakeDemoDb(), arguments);
    QVERIFY(maker.waitForFinished(-1));
    QCOMPARE(maker.exitCode(), exitCode);
    const QString error = QString::fromUtf8(maker.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!QFile::exists(QStringLiteral("/tmp/never-made.fdb")));
}

void tst_DbMaker::userSetupMakesTheDemoAndPointsTheUsersSettingsAtIt()
{
    QFETCH(TestBackend, backend);
    if (backend.Type == TestBackend::Server) QSKIP("the user set-up makes a local database");
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("XDG_CONFIG_HOME"));
    environment.remove(QStringLiteral("XDG_DATA_HOME"));
    const QStringList arguments{QStringLiteral("--user-setup"), QStringLiteral("--products"),
                                QStringLiteral("3"), QStringLiteral("--backend"),
                                backend.IsFirebird() ? QStringLiteral("firebird")
                                                     : QStringLiteral("sqlite")};

    QProcess maker;
    maker.setProcessEnvironment(environment);
    maker.start(MakeDemoDb(), arguments);
    QVERIFY(maker.waitForFinished(-1));
    QVERIFY2(maker.exitCode() == 0, maker.readAllStandardError().constData());

    const QDir data(home.filePath(QStringLiteral(".local/share/MassAmend")));
    const QString database = data.filePath(backend.IsFirebird() ? QStringLiteral("DEMO.FDB")
                                                                : QStringLiteral("DEMO.db"));
    QSettings settings(home.filePath(QStringLiteral(".config/MassAmend/SQLDriver.conf")),
                       QSettings::IniFormat);
    QCOMPARE(settings.value(QStringLiteral("Connection Registry File")).toString(),
             data.filePath(QStringLiteral("dbxconnections.ini")));
    QCOMPARE(settings.value(QStringLiteral("Driver Registry File")).toString(),
             data.filePath(QStringLiteral("dbxdrivers.ini")));
    QFile connections(data.filePath(QStringLiteral("dbxconnections.ini")));
    QVERIFY(connections.open(QIODevice::ReadOnly));
    QVERIFY(connections.readAll().contains("\nDatabase=" + database.toUtf8() + "\n"));
    QVERIFY(QFile::exists(data.filePath(QStringLiteral("dbxdrivers.ini"))));

    TDbOptions options;
    options.Backend = backend.IsFirebird() ? TDbBackend::Firebird : TDbBackend::SQLite;
    options.Database = database;
    {
        SecondConnection connection(backend, options);
        QCOMPARE(connection.QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT")).toInt(), 4);
        QCOMPARE(connection
                     .QueryValue(QStringLiteral("SELECT COUNT(*) FROM PRODUCT "
                                                "WHERE PROD_ID = '-1'"))
                     .toInt(),
                 1);
    }

    // A second set-up keeps the user's database and settings unless forced.
    settings.setValue(QStringLiteral("Connection Registry File"), QStringLiteral("mine.ini"));
    settings.sync();
    maker.start(MakeDemoDb(), arguments);
    QVERIFY(maker.waitForFinished(-1));
    QCOMPARE(maker.exitCode(), 1);
    QVERIFY(maker.readAllStandardError().contains("use --force"));
    settings.sync();
    QCOMPARE(settings.value(QStringLiteral("Connection Registry File")).toString(),
             QStringLiteral("mine.ini"));
}

QTEST_GUILESS_MAIN(tst_DbMaker)
#include "tst_dbmaker.moc"
