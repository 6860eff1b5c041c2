#include "TProductSelection.h"

#include "QuotedStr.h"
#include "TStringList.h"

#include <algorithm>

namespace
{

QStringView WithoutTrailingBlanks(const QString& code)
{
    QStringView view(code);
    while (view.endsWith(QLatin1Char(' ')))
        view.chop(1);
    return view;
}

bool CodeLess(const QString& a, const QString& b)
{
    const int c = WithoutTrailingBlanks(a).compare(WithoutTrailingBlanks(b));
    return c != 0 ? c < 0 : a < b;
}

} // namespace

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
    return QStringLiteral("select * from product where prod_id in (") + CodeSet(codes) +
           QLatin1Char(')');
}

QString TProductSelection::BatchStatement(int values)
{
    QString marks = QStringLiteral("?,").repeated(values);
    marks.chop(1);
    return QStringLiteral("select * from product where prod_id in (") + marks + QLatin1Char(')');
}

TSQLParamBatches TProductSelection::CodeBatches(const QStringList& codes, int values)
{
    QStringList sorted = codes;
    std::sort(sorted.begin(), sorted.end(), CodeLess);
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());

    TSQLParamBatches batches;
    QList<TSQLParamValue> batch;
    batch.reserve(values);
    auto fillUp = [&] {
        const TSQLParamValue last = batch.last();
        while (batch.size() < values)
            batch.append(last);
        batches.append(std::move(batch));
        batch = {};
        batch.reserve(values);
    };
    for (qsizetype first = 0; first < sorted.size();) {
        qsizetype end = first + 1;
        while (end < sorted.size() &&
               WithoutTrailingBlanks(sorted[end]) == WithoutTrailingBlanks(sorted[first]))
            ++end;
        if (!batch.isEmpty() && batch.size() + (end - first) > values) fillUp();
        for (; first < end; ++first) {
            batch.append(sorted[first]);
            if (batch.size() == values) fillUp();
        }
    }
    if (!batch.isEmpty()) fillUp();
    return batches;
}

TSelectCommand TProductSelection::SelectCommand(const QStringList& codes)
{
    if (codes.size() <= MaxInListValues) return {SelectStatement(codes), {}};
    return {BatchStatement(), CodeBatches(codes)};
}
