#include "TWriteBackSnapshot.h"

#include "TProductSelection.h"
#include "TSQLConnection.h"

#include "QuotedStr.h"

#include <QSet>
#include <algorithm>

TSQLParamValue TWriteBackSnapshot::ValueText(const TSQLCursor& cursor, int index)
{
    if (cursor.IsNull(index)) return std::nullopt;
    switch (cursor.Column(index).DataType) {
    case TFieldType::ftInteger:
        return QString::number(cursor.GetInteger(index));
    case TFieldType::ftFloat:
        return QString::number(cursor.GetFloat(index), 'g', 17);
    default:
        return QString::fromUtf8(cursor.GetText(index));
    }
}

QHash<QString, TProductBefore> TWriteBackSnapshot::Read(TSQLConnection& connection,
                                                        const QString& column,
                                                        const QStringList& codes)
{
    const QSet<QString> wanted(codes.cbegin(), codes.cend());
    QStringList sorted(wanted.cbegin(), wanted.cend());
    std::sort(sorted.begin(), sorted.end());
    const QString select =
        QStringLiteral("select PROD_ID, %1, CHG_DATE, CHG_TIME from PRODUCT where ").arg(column);
    QHash<QString, TProductBefore> before;
    before.reserve(sorted.size());
    // Keeps the listed products of a statement's rows, up to `limit` rows.
    const auto read = [&](const QString& sql, qsizetype limit) {
        auto cursor = connection.OpenCursor(sql, {});
        for (qsizetype seen = 0; seen < limit && cursor->Next(); ++seen) {
            const QString code = QString::fromUtf8(cursor->GetText(0));
            if (wanted.contains(code))
                before.insert(
                    code, {ValueText(*cursor, 1), ValueText(*cursor, 2), ValueText(*cursor, 3)});
        }
    };
    for (qsizetype first = 0; first < sorted.size(); first += CodesPerRange) {
        const qsizetype last = std::min(sorted.size(), first + CodesPerRange) - 1;
        read(select + QStringLiteral("PROD_ID between %1 and %2")
                          .arg(QuotedStr(sorted.at(first)), QuotedStr(sorted.at(last))),
             (last - first + 1) * RangeSpread);
    }
    QStringList missing;
    for (const QString& code : std::as_const(sorted))
        if (!before.contains(code)) missing.append(code);
    for (qsizetype first = 0; first < missing.size(); first += CodesPerList)
        read(select + QStringLiteral("PROD_ID in (%1)")
                          .arg(TProductSelection::CodeSet(missing.mid(first, CodesPerList))),
             CodesPerList);
    return before;
}

std::vector<TJournalRow> TWriteBackSnapshot::JournalRows(TSQLConnection& connection,
                                                         const QString& column,
                                                         const std::vector<TWriteBackRow>& rows)
{
    QStringList codes;
    codes.reserve(qsizetype(rows.size()));
    for (const TWriteBackRow& row : rows)
        codes.append(row.Code);
    const QHash<QString, TProductBefore> before = Read(connection, column, codes);
    std::vector<TJournalRow> journal;
    journal.reserve(rows.size());
    for (const TWriteBackRow& row : rows) {
        TJournalRow j;
        j.Code = row.Code;
        j.Written = row.Value;
        const auto it = before.constFind(row.Code);
        if (it != before.cend()) {
            j.Found = true;
            j.Before = it->Value;
            j.BeforeChgDate = it->ChgDate;
            j.BeforeChgTime = it->ChgTime;
        }
        journal.push_back(std::move(j));
    }
    return journal;
}
