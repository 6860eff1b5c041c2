#include "TProductSelection.h"

#include "QuotedStr.h"
#include "TStringList.h"

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
    QStringList sets;
    for (qsizetype first = 0; first < codes.size(); first += MaxInListValues)
        sets.append(CodeSet(codes.mid(first, MaxInListValues)));
    return QStringLiteral("select * from product where prod_id in (") +
           sets.join(QStringLiteral(") or prod_id in (")) + QLatin1Char(')');
}
