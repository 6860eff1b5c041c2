// The product selection's texts: the codes read back from the dialog keep
// every line, and the code set and the SELECT hold exactly those codes, each
// as one literal, with nothing else outside the literals but the skeleton.

#include "FuzzCheck.h"
#include "TProductSelection.h"

#include <QRegularExpression>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const QStringList codes = TProductSelection::CodeList(text);
    for (const QString& code : codes)
        FUZZ_CHECK(!code.contains(QLatin1Char('\r')) && !code.contains(QLatin1Char('\n')), text);
    if (codes.isEmpty()) {
        FUZZ_CHECK(text.isEmpty(), text);
        return 0;
    }
    FUZZ_CHECK(TProductSelection::CodeList(codes.join(QLatin1Char('\n')) + QLatin1Char('\n')) ==
                   codes,
               text);
    FUZZ_CHECK(TProductSelection::CodeList(codes.join(QStringLiteral("\r\n"))) == codes ||
                   codes.last().isEmpty(),
               text);

    QStringList literals;
    QString outside;
    const QString set = TProductSelection::CodeSet(codes);
    FUZZ_CHECK(SplitLiterals(set, literals, outside), set);
    FUZZ_CHECK(literals == codes, set);
    FUZZ_CHECK(outside == QStringList(codes.size(), QStringLiteral("?")).join(QLatin1Char(',')),
               set);

    const QString sql = TProductSelection::SelectStatement(codes);
    FUZZ_CHECK(SplitLiterals(sql, literals, outside), sql);
    FUZZ_CHECK(literals == codes, sql);
    static const QRegularExpression skeleton(
        QStringLiteral(R"(^select \* from product where prod_id in \(\?(,\?)*\))"
                       R"(( union all select \* from product where prod_id in \(\?(,\?)*\))*$)"));
    FUZZ_CHECK(skeleton.match(outside).hasMatch(), outside);
    return 0;
}
