#pragma once

#include "Exceptions.h"
#include "TSQLDriver.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class TSQLConnection;

// A journal that can't be read or written: the write-back it was to record
// must not start.
class EWriteBackJournalError : public Exception
{
public:
    using Exception::Exception;
    QString ClassName() const override { return QStringLiteral("EWriteBackJournalError"); }
};

// What became of one listed product in a write-back. Pending is also what a
// run that was killed leaves behind: such a row may have been written.
enum class TJournalRowState { Pending = 0, Written = 1, Skipped = 2, NotWritten = 3 };

// One listed product of a journaled write-back: its state before the first
// UPDATE, the value the write-back gives it, and how it went.
struct TJournalRow {
    QString Code;
    // False when no product had the code as the write-back began.
    bool Found = false;
    TSQLParamValue Before;
    TSQLParamValue BeforeChgDate;
    TSQLParamValue BeforeChgTime;
    TSQLParamValue Written;
    TJournalRowState State = TJournalRowState::Pending;
};

// One journaled write-back. Numbers are texts as the database gave them,
// floats with 17 significant digits so that they come back exactly.
struct TJournalEntry {
    qint64 Id = 0;
    QDateTime When;
    QString Database;
    QString User;
    QString Column;
    // The value of a "回存"; null for an undo, whose rows each get their own.
    TSQLParamValue Value;
    // The entry an undo takes back; 0 for a "回存".
    qint64 Undoes = 0;
    int Listed = 0;
    int Written = 0;
    int Skipped = 0;
    // An undo of this entry has been journaled.
    bool Undone = false;
};

// The write-back journal of this workstation: a SQLite file of its own in
// the user's application data folder, apart from the shop database and its
// engine, opened through the data layer's SQLite driver. The file and its
// folder are made at the first use.
//
// Every error is thrown as EWriteBackJournalError naming the file. The
// journal may be used from another thread than the one that opened it, one
// thread at a time, and Cancel() from any thread; it touches no widget.
//
// A file that SQLite can't read whole is set aside when it opens, kept
// beside it under a name of its own, and a new journal starts:
// SetAsideFile() names it until it is taken.
class TWriteBackJournal
{
public:
    // The write-backs kept per database; older ones are pruned by Begin().
    static constexpr int KeptPerDatabase = 50;

    explicit TWriteBackJournal(QString fileName = DefaultFileName());
    ~TWriteBackJournal();
    TWriteBackJournal(const TWriteBackJournal&) = delete;
    TWriteBackJournal& operator=(const TWriteBackJournal&) = delete;

    // writeback-journal.sqlite in the application data location.
    static QString DefaultFileName();
    const QString& FileName() const { return FFileName; }
    // Closes the file; the next use opens the new one.
    void SetFileName(const QString& fileName);

    // Opens the file unless it is open, so that a journal that can't be used
    // is told before a write-back starts; Begin() would fail alike.
    void Prepare();
    // Records a write-back and its rows, all or nothing, and prunes the
    // database's oldest entries. Returns the new entry's id.
    qint64 Begin(const TJournalEntry& entry, const std::vector<TJournalRow>& rows);
    // Notes how row `index` of entry `id` went. Notes are written in batches,
    // at most a second apart; Flush() writes the rest.
    void Mark(qint64 id, int index, TJournalRowState state);
    // Notes rows [first, end) of entry `id` alike.
    void MarkRange(qint64 id, int first, int end, TJournalRowState state);
    void Flush();
    // Cancels the statement under way on another thread: it fails, and what
    // it was to write is not written.
    void Cancel();

    // The file a damaged journal was moved to when it last opened; empty
    // when none was. Taking it empties it.
    QString TakeSetAsideFile();

    // The database's write-backs, newest first.
    QList<TJournalEntry> Entries(const QString& database);
    std::optional<TJournalEntry> Entry(qint64 id);
    std::vector<TJournalRow> Rows(qint64 id);

private:
    // Rows First to Last of entry Id.
    struct TMark {
        qint64 Id;
        int First;
        int Last;
        TJournalRowState State;
    };

    TSQLConnection& Connection();
    void Open();
    // Opens the file and checks that it reads whole; false when it does not.
    bool OpenChecked(std::unique_ptr<TSQLConnection>& connection);
    void SetAside();
    void Execute(const QString& sql, const QList<TSQLParamValue>& params = {});
    void InsertRows(qint64 id, const std::vector<TJournalRow>& rows);
    void Prune(const QString& database);
    void WriteMarks();
    QList<TJournalEntry> ReadEntries(const QString& condition, const TSQLParamValue& key);
    [[noreturn]] void Fail(const QString& reason) const;

    QString FFileName;
    std::unique_ptr<TSQLConnection> FConnection;
    // Held while FConnection changes and while Cancel() uses it.
    std::mutex FConnectionMutex;
    std::vector<TMark> FMarks;
    QString FSetAsideFile;
    QElapsedTimer FSinceFlush;
};
