#pragma once

#include "TWriteBack.h"
#include "TWriteBackJournal.h"

#include <QString>
#include <vector>

// Taking a journaled write-back back: every row it wrote or may have written
// (pending in the journal), if the product was there, gets its value from
// before, guarded by the value the write-back gave it, so that a later change
// by anyone else stays, and a row that was never written is left alone.
class TWriteBackUndo
{
public:
    // The rows of the undo in the write-back's order: value the one from
    // before, expected the one written.
    static std::vector<TWriteBackRow> Rows(const TJournalEntry& entry,
                                           const std::vector<TJournalRow>& journal);

    // True when the row's value from before is the value the write-back gave
    // it (numbers compared as numbers): taking it back changes no value.
    static bool SameValue(const QString& column, const TWriteBackRow& row);
    // The column as the operator knows it: its display name.
    static QString ColumnName(const QString& column);
    // The value column of the journal window: the value, or for an undo
    // what it took back.
    static QString ValueText(const TJournalEntry& entry);
    static QString ConfirmText(const TJournalEntry& entry, int rows);
    static QString NothingText();
    // Skipped rows were written and changed since; unwritten ones were
    // pending in the journal and never held the written value; unchanged ones
    // held their old value all along.
    static QString DoneText(int restored, int skipped, int notReached, int unwritten = 0,
                            int unchanged = 0);
};
