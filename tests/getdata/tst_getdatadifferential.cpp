#include "../data/SQLTestConnection.h"
#include "Big5Text.h"
#include "GetdataFixture.h"
#include "QuotedStr.h"
#include "SecondConnection.h"
#include "TSQLDataSet.h"
#include "TestBackends.h"
#include "TestDatabase.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>

#include <optional>
#include <random>

// The query dialog's statements against the same rule applied in memory: on
// each backend, generated hostile values in every match mode, joined by
// WHERE, AND and OR, are composed by the dialog, run on a fixture table, and
// the codes returned compared with the codes the rule selects. Values too
// long for the condition table must be refused and add no condition.
//
// The seed is printed; MASSAMEND_FUZZ_SEED=<seed> replays a run.
class tst_GetdataDifferential : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestDatabase::IsolateUserSettings(); }
    void composedStatementsSelectWhatTheRuleSelects_data() { AddBackendRows(); }
    void composedStatementsSelectWhatTheRuleSelects();
};

namespace
{

// How many values each backend must see composed and run.
constexpr int ValuesPerBackend = 10000;
constexpr int FixtureRows = 160;

quint32 Seed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("MASSAMEND_FUZZ_SEED").toUInt(&ok);
    return ok ? seed : 20261210u;
}

// Characters values and names are made of: the ones SQL and LIKE treat
// specially, case pairs, and Big5 edge characters (U+3000 is the code page's
// first character, 功 蓋 許 吒 have 0x5C, a backslash, as their second byte,
// 碁 嫺 ╔ ═ ▓ are ETEN extensions, € and 龘 the ends of other ranges).
const QString Alphabet = QStringLiteral("aAbBzZ09 '%_\\\";:-*()=") +
                         QStringLiteral("\u3000，﹚﹛／一吒功蓋許中籲乂龘碁嫺╔═▓€十");

// Characters of code page 950 that Firebird's BIG_5 does not map as the code
// page does: some ETEN extensions (from F9D6), the euro sign, and the
// fullwidth solidus at A1FE. It stores them and compares them with '=' byte
// for byte, but a LIKE pattern that holds one is refused, and a LIKE over a
// name that holds one can match where the name has no such text ('%／Z%'
// matched '／╔Z'). So on Firebird the fixture's names leave them out.
const QString BeyondFirebirdBig5 = QStringLiteral("／碁嫺╔▓€");

struct TRow {
    QString Code;
    std::optional<QString> Name;
};

struct TCondition {
    bool OnCode = false; // the CODE column, else NAME
    int Mode = 0;        // 0 exact, 1 prefix, 2 contains
    QString Value;
    bool Or = false; // joined by OR, else AND (the first: WHERE)
};

class TGenerator
{
public:
    explicit TGenerator(quint32 seed) : FRandom(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(FRandom); }
    bool Chance(int percent) { return Below(100) < percent; }

    QString Text(int maxChars)
    {
        QString text;
        const int length = Below(maxChars + 1);
        for (int i = 0; i < length; ++i)
            text += Alphabet[Below(int(Alphabet.size()))];
        return text;
    }

    // A value that often hits a name: the whole name, its start or a part
    // of it, now and then with an ASCII letter's case changed or a blank
    // added at one end; otherwise free text, as long as the limit or longer.
    QString Value(const QList<TRow>& rows)
    {
        const TRow& row = rows[Below(int(rows.size()))];
        if (!row.Name || Chance(45)) return Text(Chance(30) ? 20 : 10);
        QString value = *row.Name;
        const int start = Chance(50) ? 0 : Below(int(value.size()) + 1);
        value = value.mid(start, Chance(40) ? -1 : Below(int(value.size()) - start + 1));
        if (Chance(20) && !value.isEmpty()) {
            const int i = Below(int(value.size()));
            const QChar c = value[i];
            value[i] = c.isUpper() ? c.toLower() : c.toUpper();
        }
        if (Chance(10)) value = Chance(50) ? value + u' ' : u' ' + value;
        return value;
    }

private:
    std::mt19937 FRandom;
};

QList<TRow> FixtureRowsFrom(TGenerator& random, bool firebird)
{
    QList<TRow> rows;
    for (int i = 0; i < FixtureRows; ++i) {
        TRow row{QStringLiteral("R%1").arg(i, 3, 10, QLatin1Char('0')), random.Text(16)};
        if (i % 40 == 7) row.Name.reset();
        // Near twins of an earlier name: another case, blanks at the ends.
        if (i % 5 == 4 && rows.last().Name) {
            QString twin = *rows.last().Name;
            twin = random.Chance(50) ? twin.toUpper() : twin + QStringLiteral("  ");
            row.Name = random.Chance(20) ? u' ' + twin : twin;
        }
        if (firebird && row.Name)
            for (QChar c : BeyondFirebirdBig5)
                row.Name->remove(c);
        rows.append(row);
    }
    return rows;
}

// LIKE without an escape character: '%' any run of characters, '_' exactly
// one, anything else itself, case and all (the SQLite driver makes LIKE
// case-sensitive, as Firebird's is).
bool Like(const QList<uint>& text, qsizetype t, const QList<uint>& pattern, qsizetype p)
{
    while (p < pattern.size()) {
        if (pattern[p] == '%') {
            while (p < pattern.size() && pattern[p] == '%')
                ++p;
            if (p == pattern.size()) return true;
            for (qsizetype i = t; i <= text.size(); ++i)
                if (Like(text, i, pattern, p)) return true;
            return false;
        }
        if (t == text.size()) return false;
        if (pattern[p] != '_' && pattern[p] != text[t]) return false;
        ++p;
        ++t;
    }
    return t == text.size();
}

QString WithoutTrailingBlanks(QString text)
{
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// SQL's three truth values: a condition on a null name is unknown.
enum class TTruth { False, True, Unknown };

TTruth Holds(const TCondition& c, const TRow& row, bool firebird)
{
    const std::optional<QString> column = c.OnCode ? std::optional<QString>(row.Code) : row.Name;
    if (!column) return TTruth::Unknown;
    bool holds = false;
    if (c.Mode == 0) {
        // Firebird compares strings as if the shorter were padded with
        // blanks; SQLite compares them as they are.
        holds = firebird ? WithoutTrailingBlanks(*column) == WithoutTrailingBlanks(c.Value)
                         : *column == c.Value;
    } else {
        const QString pattern = c.Mode == 1 ? c.Value + u'%' : u'%' + c.Value + u'%';
        holds = Like(column->toUcs4(), 0, pattern.toUcs4(), 0);
    }
    return holds ? TTruth::True : TTruth::False;
}

// The conditions as SQL joins them: AND binds before OR, and a row is
// selected only where the whole is true, not unknown.
bool Selected(const QList<TCondition>& conditions, const TRow& row, bool firebird)
{
    TTruth any = TTruth::False;
    TTruth all = TTruth::True;
    for (qsizetype i = 0; i <= conditions.size(); ++i) {
        if (i == conditions.size() || (i > 0 && conditions[i].Or)) {
            if (all == TTruth::True)
                any = TTruth::True;
            else if (all == TTruth::Unknown && any == TTruth::False)
                any = TTruth::Unknown;
            all = TTruth::True;
            if (i == conditions.size()) break;
        }
        const TTruth h = Holds(conditions[i], row, firebird);
        if (h == TTruth::False)
            all = TTruth::False;
        else if (h == TTruth::Unknown && all == TTruth::True)
            all = TTruth::Unknown;
    }
    return any == TTruth::True;
}

// A LIKE pattern that holds one of those is refused with "Cannot
// transliterate character between character sets" (not always: "like '%X'"
// passes). The dialog shows that refusal as the database's error; it never
// returns wrong rows.
bool MayBeRefusedByFirebird(const QList<TCondition>& conditions)
{
    for (const TCondition& c : conditions)
        if (c.Mode != 0)
            for (QChar ch : c.Value)
                if (BeyondFirebirdBig5.contains(ch)) return true;
    return false;
}

QString Literal(const TCondition& c)
{
    switch (c.Mode) {
    case 0:
        return QuotedStr(c.Value);
    case 1:
        return QuotedStr(c.Value + u'%');
    default:
        return QuotedStr(u'%' + c.Value + u'%');
    }
}

} // namespace

void tst_GetdataDifferential::composedStatementsSelectWhatTheRuleSelects()
{
    QFETCH(TestBackend, backend);
    const quint32 seed = Seed();
    qInfo("seed %u (MASSAMEND_FUZZ_SEED=%u replays it)", seed, seed);
    TGenerator random(seed);
    const bool firebird = backend.IsFirebird();

    TestDatabase database(backend, {.Products = 1});
    QVERIFY2(database.IsValid(), qPrintable(database.ErrorString()));
    const QList<TRow> rows = FixtureRowsFrom(random, firebird);
    {
        SecondConnection setup(database);
        QVERIFY(setup.Execute("CREATE TABLE FZ (CODE VARCHAR(8) NOT NULL PRIMARY KEY, "
                              "NAME VARCHAR(40))"));
        for (const TRow& row : rows)
            QVERIFY2(setup.Execute(
                         QStringLiteral("INSERT INTO FZ VALUES (%1, %2)")
                             .arg(QuotedStr(row.Code), row.Name ? QuotedStr(*row.Name) : "NULL")),
                     qPrintable(setup.ErrorString()));
        // The table holds the names exactly, or the comparison would mislead.
        for (const QVariantList& stored : setup.QueryRows("SELECT CODE, NAME FROM FZ")) {
            const TRow& row = rows[stored.value(0).toString().mid(1).toInt()];
            QCOMPARE(stored.value(1).isNull(), !row.Name.has_value());
            if (row.Name) QCOMPARE(stored.value(1).toString(), *row.Name);
        }
    }
    std::unique_ptr<TSQLConnection> connection;
    try {
        connection = OpenTestConnection();
    } catch (const Exception& error) {
        QFAIL(qPrintable(error.Message()));
    }

    DialogFixture f(false);
    f.Target.FieldDefs().Add(QStringLiteral("CODE"), TFieldType::ftString, 8);
    f.Target.FieldDefs().Add(QStringLiteral("NAME"), TFieldType::ftString, 40);
    f.Target.CreateDataSet();
    f.Dialog->TableName = QStringLiteral("FZ");
    f.Dialog->ColumnList = QStringLiteral("CODE ");
    f.Dialog->OrderClause = QString();
    f.Show();
    QCOMPARE(f.Boxes.Texts(), QStringList());
    TFrmgetdata& dialog = *f.Dialog;

    QElapsedTimer clock;
    clock.start();
    int values = 0;
    int refused = 0;
    int statements = 0;
    int rowsReturned = 0;
    int engineRefusals = 0;
    while (values < ValuesPerBackend) {
        while (!dialog.CDS_SQL->IsEmpty()) {
            dialog.CDS_SQL->First();
            dialog.CDS_SQL->Delete();
        }
        dialog.RadioGroup2->SetItems({QStringLiteral("首要")});
        dialog.RadioGroup2->SetItemIndex(0);

        QList<TCondition> conditions;
        const int wanted = 1 + random.Below(3);
        for (int i = 0; i < wanted; ++i) {
            TCondition c{random.Chance(15), random.Below(3), random.Value(rows),
                         !conditions.isEmpty() && random.Chance(40)};
            if (!conditions.isEmpty()) dialog.RadioGroup2->SetItemIndex(c.Or ? 1 : 0);
            f.Inputs(c.OnCode ? QStringLiteral("CODE") : QStringLiteral("NAME"), c.Mode, c.Value);
            const qsizetype boxes = f.Boxes.Texts().size();
            dialog.SpeedButton3Click(nullptr);
            // "SCH_VALUE" holds 20 Big5 bytes: a longer literal is refused
            // with a box and adds no condition.
            const bool tooLong = Big5ByteLength(Literal(c)) > 20;
            QCOMPARE(f.Boxes.Texts().size() - boxes, tooLong ? 1 : 0);
            QCOMPARE(dialog.CDS_SQL->RecordCount(), int(conditions.size()) + (tooLong ? 0 : 1));
            if (tooLong) {
                ++refused;
                continue;
            }
            conditions.append(c);
        }
        if (conditions.isEmpty()) continue;

        const QString sql = TFrmgetdataTestHook::ComposedStatement(dialog);
        QStringList expected;
        for (const TRow& row : rows)
            if (Selected(conditions, row, firebird)) expected.append(row.Code);
        QStringList returned;
        try {
            TSQLDataSet command;
            command.SetSQLConnection(connection.get());
            command.SetCommandText(sql);
            const std::unique_ptr<TSQLCursor> cursor = command.OpenCursor();
            while (cursor->Next())
                returned.append(QString::fromUtf8(cursor->GetText(0)));
        } catch (const Exception& error) {
            if (firebird && MayBeRefusedByFirebird(conditions) &&
                error.Message().contains(QStringLiteral("Cannot transliterate"))) {
                ++engineRefusals;
                continue;
            }
            QFAIL(qPrintable(QStringLiteral("seed %1, statement %2 refused: %3\n%4")
                                 .arg(seed)
                                 .arg(statements)
                                 .arg(error.Message(), sql)));
        }
        returned.sort();
        if (returned != expected) {
            QStringList differing;
            for (const TRow& row : rows)
                if (expected.contains(row.Code) != returned.contains(row.Code))
                    differing.append(row.Code + u'=' + (row.Name ? QuotedStr(*row.Name) : "NULL"));
            QFAIL(qPrintable(
                QStringLiteral("seed %1, statement %2:\n%3\nexpected %4\nreturned %5\ndiffering %6")
                    .arg(seed)
                    .arg(statements)
                    .arg(sql, expected.join(u' '), returned.join(u' '), differing.join(u' '))));
        }
        ++statements;
        values += int(conditions.size());
        rowsReturned += int(returned.size());
    }
    qInfo("%s: %d values in %d statements (%d rows returned), %d values refused as too long, "
          "%d statements refused by Firebird's BIG_5, %lld ms",
          qPrintable(backend.Name()), values, statements, rowsReturned, refused, engineRefusals,
          clock.elapsed());
    QVERIFY(rowsReturned > statements / 4); // the values do hit names
}

QTEST_MAIN(tst_GetdataDifferential)
#include "tst_getdatadifferential.moc"
