// The query dialog's composition: a value becomes exactly one literal holding
// the mode's pattern, fits the condition table unchanged or is refused (as is
// any value holding a NUL), and the whole statement has no text outside its
// literals but the skeleton.

#include "Big5Text.h"
#include "Exceptions.h"
#include "FuzzCheck.h"
#include "GetdataSql.h"
#include "TClientDataSet.h"
#include "TField.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>

namespace
{

// The "SCH_VALUE" field of the condition table.
TField* SchValue()
{
    static TClientDataSet* table = [] {
        auto* t = new TClientDataSet;
        t->FieldDefs().Add(QStringLiteral("SCH_VALUE"), TFieldType::ftString, SchValueSize);
        t->CreateDataSet();
        t->Append();
        return t;
    }();
    return table->FieldByName(QStringLiteral("SCH_VALUE"));
}

QString Pattern(int mode, const QString& value)
{
    switch (mode) {
    case 0:
        return value;
    case 1:
        return value + QLatin1Char('%');
    case 2:
        return QLatin1Char('%') + value + QLatin1Char('%');
    default:
        return QString();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const QStringList columns{QStringLiteral("PROD_ID"), QStringLiteral("PROD_NAME")};
    const QStringList connectors{QStringLiteral("WHERE"), QStringLiteral("AND"),
                                 QStringLiteral("OR")};
    QList<TConditionRow> rows;
    QStringList patterns;
    QString skeleton = QStringLiteral("SELECT PROD_ID,PROD_NAME  FROM \r\nPRODUCT \r\n");
    const int count = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < count && in.remaining_bytes() > 0; ++i) {
        const int mode = in.ConsumeIntegralInRange(-1, 3);
        const QString column = columns[in.ConsumeIntegralInRange(0, 1)];
        const QString connector =
            i == 0 ? connectors[0] : connectors[in.ConsumeIntegralInRange(1, 2)];
        const QString value = QString::fromStdString(in.ConsumeRandomLengthString(48));
        const QString pattern = Pattern(mode, value);
        const QString detail = QString::number(mode) + QLatin1Char(' ') + value;
        QString quoted = pattern;
        quoted.replace(QLatin1Char('\''), QLatin1String("''"));
        // A NUL is refused in any mode: the client library would cut the
        // statement at it.
        const bool fits = !value.contains(QChar(u'\0')) &&
                          (mode < 0 || mode > 2 || Big5ByteLength(quoted) + 2 <= SchValueSize);
        TConditionValue condition;
        try {
            condition = ConditionValue(mode, value);
        } catch (const Exception&) {
            FUZZ_CHECK(!fits, detail);
            continue;
        }
        FUZZ_CHECK(fits, detail);
        if (mode < 0 || mode > 2) {
            FUZZ_CHECK(condition.OperatorText.isEmpty() && condition.Literal.isEmpty(), detail);
            continue;
        }
        FUZZ_CHECK(condition.OperatorText ==
                       (mode == 0 ? QStringLiteral(" = ") : QStringLiteral(" like ")),
                   detail);
        QStringList literals;
        QString outside;
        FUZZ_CHECK(SplitLiterals(condition.Literal, literals, outside), detail);
        FUZZ_CHECK(outside == QStringLiteral("?") && literals == QStringList{pattern}, detail);
        // The condition table keeps the literal whole.
        SchValue()->SetAsString(condition.Literal);
        FUZZ_CHECK(SchValue()->AsString() == condition.Literal, detail);
        rows.append({connector, column, condition.OperatorText, condition.Literal});
        patterns.append(pattern);
        skeleton += QLatin1Char(' ') + connector + QLatin1Char(' ') + column + QLatin1Char(' ') +
                    condition.OperatorText + QStringLiteral(" ? \r\n");
    }
    skeleton += QStringLiteral(" ORDER BY PROD_ID\r\n");
    const QStringList lines =
        StatementLines(QStringLiteral("PROD_ID,PROD_NAME "), QStringLiteral("PRODUCT"), rows,
                       QStringLiteral(" ORDER BY PROD_ID"));
    FUZZ_CHECK(lines.size() == rows.size() + 3, lines.join(u'\n'));
    const QString sql = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QStringList literals;
    QString outside;
    FUZZ_CHECK(SplitLiterals(sql, literals, outside), sql);
    FUZZ_CHECK(literals == patterns, sql);
    FUZZ_CHECK(outside == skeleton, sql + "\n" + outside);
    return 0;
}
