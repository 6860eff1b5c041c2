#include "TProductSelection.h"

#include "QuotedStr.h"
#include "TStringList.h"

#include <algorithm>

QString TProductSelection::ColumnList(const QStringList& fieldNames)
{
    return fieldNames.join(QLatin1Char(',')) + QLatin1Char(' ');
}

QStringList TProductSelection::CodeList(const QString& selectedValues)
{
    TStringList lines;
    lines.SetText(selectedValues);
    return lines.Lines();
}

QString TProductSelection::CodeSet(const QStringList& codes)
{
    QStringList literals;
    literals.reserve(codes.size());
    for (const QString& code : codes)
        literals.append(QuotedStr(code));
    return literals.join(QLatin1Char(','));
}

QString TProductSelection::SelectStatement(const QStringList& codes)
{
    const QString start = QStringLiteral("select * from product where prod_id in (");
    if (codes.size() <= MaxInListValues) return start + CodeSet(codes) + QLatin1Char(')');
    // Not several lists joined by OR: Firebird checks every row it fetches
    // against the lists one value after another, so the load grew with the
    // square of the selection (50,000 codes took two minutes, not three
    // seconds). In SELECTs of their own, a row meets its own list only.
    const qsizetype perList = std::clamp<qsizetype>(
        (codes.size() + MaxUnionSelects - 1) / MaxUnionSelects, UnionListValues, MaxInListValues);
    QStringList selects;
    for (qsizetype first = 0; first < codes.size(); first += perList)
        selects.append(start + CodeSet(codes.mid(first, perList)) + QLatin1Char(')'));
    return selects.join(QStringLiteral(" union all "));
}
