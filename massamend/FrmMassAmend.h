#pragma once

#include "TClientDataSet.h"
#include "TDataSetProvider.h"
#include "TDataSource.h"
#include "TFloatField.h"
#include "TIntegerField.h"
#include "TSQLConnection.h"
#include "TSQLDataSet.h"
#include "TSQLQuery.h"
#include "TStringField.h"

#include <QPointer>
#include <QWidget>
#include <exception>
#include <memory>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;
class TChangeStamp;
class TComboBox;
class TDBGrid;
class TFrmWriteBackJournal;
class TProgressSink;
class TWriteBack;
class TWriteBackJournal;
struct TJournalEntry;
struct TWriteBackResult;
struct TWriteBackRow;

// The main window: the product list and the controls that put one value into
// one column of every listed product, in memory ("更動") and in the database
// ("回存"). Creating it opens the connection and the product list with the
// start statement, so the grid shows every column from the start.
class TFormMassAmend : public QWidget
{
public:
    explicit TFormMassAmend(QWidget* parent = nullptr);
    ~TFormMassAmend() override;

    QFrame* Panel1 = nullptr;
    QFrame* Panel2 = nullptr;
    QFrame* Panel3 = nullptr;
    TSQLConnection* SQLConnection1 = nullptr;
    TSQLDataSet* SQL_Product = nullptr;
    TDataSetProvider* DSP_Product = nullptr;
    TClientDataSet* CDS_PRODUCT = nullptr;
#define PRODUCT_FIELD(Class, Member, Name) Class* Member = nullptr;
#include "FrmMassAmendFields.inc"
#undef PRODUCT_FIELD
    TDataSource* DataSource1 = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QLabel* Label1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TDataSource* DS_Search = nullptr;
    TSQLQuery* SQLQuery1 = nullptr;
    TComboBox* ComboBox2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    TClientDataSet* ClientDataSet1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    // The grid's context menu: the journal window (Ctrl+H) and the undo of
    // the latest write-back (Ctrl+Z), both also shortcuts of the window.
    QMenu* PopupMenu1 = nullptr;
    QAction* MenuItemJournal = nullptr;
    QAction* MenuItemUndo = nullptr;

    void SpeedButton1Click(QObject* Sender);
    void CDS_PRODUCTAfterOpen(TDataSet* DataSet);
    void Button1Click(QObject* Sender);
    void Button2Click(QObject* Sender);
    void MenuItemJournalClick(QObject* Sender);
    void MenuItemUndoClick(QObject* Sender);

    // Asks, then takes back the journaled write-back `id` row by row.
    void UndoWriteBack(qint64 id);
    // The journal window while it is open, null otherwise.
    TFrmWriteBackJournal* JournalWindow() const;

    // The change stamps of the write-back: the workstation's separators and
    // clock unless a test sets others.
    TChangeStamp& ChangeStamp()
    {
        return *FChangeStamp;
    }
    // Where the write-back reports its progress; a dialog unless a test puts
    // another sink in its place.
    TProgressSink& Progress()
    {
        return *FProgress;
    }
    void SetProgress(std::unique_ptr<TProgressSink> progress);
    // The write-back journal; the user's own file unless a test names another.
    TWriteBackJournal& Journal()
    {
        return *FJournal;
    }
    // The database as the journal names it: the connection's Database value.
    QString DatabaseName() const;

    // The start statement of SQL_Product: every column, no rows as long as no
    // product is coded "-1".
    static QString StartStatement();
    // "n 筆中已寫入 k 筆，其餘 n−k 筆未寫入。"
    static QString CountSentence(int written, int total);
    // The message after the operator stopped a write-back.
    static QString StoppedMessage(int written, int total);
    // The error box's text after a row failed: the error's message, ended
    // as the box ends it, then on a line of its own how many rows were
    // written.
    static QString FailedMessage(std::exception_ptr error, int written, int total);
    // The box's last line when rows of a code column were written and the
    // names were not refreshed after them; empty otherwise.
    static QString StaleNamesLine(const TWriteBackResult& result, const QString& column);
    // The message before a write-back when the journal was found damaged.
    static QString SetAsideMessage(const QString& file);
    // How the last write-back or undo ended.
    const TWriteBackResult& LastOutcome() const
    {
        return *FLastOutcome;
    }
    // True from the start of a write-back or undo to its end.
    bool Running() const
    {
        return FRunning;
    }

private:
    void CreateComponents();
    void CreateFields();
    void CreateControls();
    void SetTabOrder();
    void CreateJournalMenu();
    QString ChosenColumn() const;
    bool Refused() const;
    void PrepareJournal();
    TWriteBackResult RunWriteBack(TWriteBack& writeBack, const std::vector<TWriteBackRow>& rows);
    TJournalEntry NewJournalEntry(const QString& column, const TSQLParamValue& value) const;

    std::unique_ptr<TChangeStamp> FChangeStamp;
    std::unique_ptr<TProgressSink> FProgress;
    std::unique_ptr<TWriteBackJournal> FJournal;
    QPointer<TFrmWriteBackJournal> FJournalWindow;
    bool FRunning = false;
    std::unique_ptr<TWriteBackResult> FLastOutcome;
};

// The main window of the process, set once at start-up.
extern TFormMassAmend* FormMassAmend;
