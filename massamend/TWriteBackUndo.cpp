#include "TWriteBackUndo.h"

#include "ProductCatalogue.h"

std::vector<TWriteBackRow> TWriteBackUndo::Rows(const TJournalEntry& entry,
                                                const std::vector<TJournalRow>& journal)
{
    // A write-back of the code itself moved each product to the code written.
    const bool codeColumn = entry.Column == QLatin1String("PROD_ID");
    std::vector<TWriteBackRow> rows;
    for (const TJournalRow& row : journal) {
        // A pending row may have been written by a run that was killed
        // before it could note it; the guard tells.
        const bool pending = row.State == TJournalRowState::Pending;
        if (!row.Found || (row.State != TJournalRowState::Written && !pending)) continue;
        const QString code = codeColumn && row.Written ? *row.Written : row.Code;
        rows.push_back({code, row.Before, row.Written, pending});
    }
    return rows;
}

bool TWriteBackUndo::SameValue(const QString& column, const TWriteBackRow& row)
{
    if (!row.Value || !row.Expected) return !row.Value && !row.Expected;
    const int index = ProductCatalogue::FindIndex(column);
    if (index >= 0 &&
        ProductCatalogue::Fields[std::size_t(index)].DataType != TFieldType::ftString) {
        bool before = false;
        bool written = false;
        const double a = row.Value->toDouble(&before);
        const double b = row.Expected->toDouble(&written);
        if (before && written) return a == b;
    }
    return *row.Value == *row.Expected;
}

QString TWriteBackUndo::ColumnName(const QString& column)
{
    const int index = ProductCatalogue::FindIndex(column);
    return index < 0 ? column : ProductCatalogue::Fields[std::size_t(index)].DisplayName();
}

QString TWriteBackUndo::ValueText(const TJournalEntry& entry)
{
    if (entry.Undoes) return QStringLiteral("（復原第 %1 號回存）").arg(entry.Undoes);
    return entry.Value.value_or(QStringLiteral("（空值）"));
}

QString TWriteBackUndo::ConfirmText(const TJournalEntry& entry, int rows)
{
    return QStringLiteral("要復原「%1」欄位的 %2 筆商品，改回 %3 回存前的值嗎？\n"
                          "回存後又被更動過的商品會保持不變。")
        .arg(ColumnName(entry.Column))
        .arg(rows)
        .arg(entry.When.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
}

QString TWriteBackUndo::NothingText()
{
    return QStringLiteral("這次回存沒有寫入任何商品，沒有可復原的資料。");
}

QString TWriteBackUndo::DoneText(int restored, int skipped, int notReached, int unwritten,
                                 int unchanged)
{
    QString text = notReached > 0
                       ? QStringLiteral("復原已停止：已還原 %1 筆，%2 筆因回存後已被更動而略過，"
                                        "其餘 %3 筆未處理。")
                             .arg(restored)
                             .arg(skipped)
                             .arg(notReached)
                       : QStringLiteral("復原完成：已還原 %1 筆，%2 筆因回存後已被更動而略過。")
                             .arg(restored)
                             .arg(skipped);
    if (unwritten > 0) text += QStringLiteral("另有 %1 筆回存時未寫入，保持不變。").arg(unwritten);
    if (unchanged > 0)
        text += QStringLiteral("另有 %1 筆回存前後的值相同，不需還原。").arg(unchanged);
    return text;
}
