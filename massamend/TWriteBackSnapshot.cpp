#include "TWriteBackSnapshot.h"

#include "TProductSelection.h"
#include "TSQLConnection.h"

#include <QSet>

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
    QStringList distinct;
    QSet<QString> seen;
    for (const QString& code : codes)
        if (!seen.contains(code)) {
            seen.insert(code);
            distinct.append(code);
        }
    QHash<QString, TProductBefore> before;
    before.reserve(distinct.size());
    for (qsizetype first = 0; first < distinct.size(); first += CodesPerStatement) {
        const QString sql =
            QStringLiteral("select PROD_ID, %1, CHG_DATE, CHG_TIME from PRODUCT "
                           "where PROD_ID in (%2)")
                .arg(column, TProductSelection::CodeSet(distinct.mid(first, CodesPerStatement)));
        auto cursor = connection.OpenCursor(sql, {});
        while (cursor->Next())
            before.insert(QString::fromUtf8(cursor->GetText(0)),
                          {ValueText(*cursor, 1), ValueText(*cursor, 2), ValueText(*cursor, 3)});
    }
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
