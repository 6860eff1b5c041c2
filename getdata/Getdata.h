#pragma once

#include "TClientDataSet.h"
#include "TDataSetProvider.h"
#include "TDataSource.h"
#include "TSQLDataSet.h"
#include "TStringList.h"

#include "GetdataSql.h"
#include "GridTypes.h"

#include <QDialog>
#include <QPointer>
#include <memory>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class TComboBox;
class TDBGrid;
class TDBSpeedButton;
class TField;
class TRadioGroup;
class TSearchEdit;
class TSelectGrid;
class TSpeedButton;

// What the closing of a form does with it; the dialog always frees itself.
enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// The query-and-fetch dialog "資料查詢擷取". A caller creates it with
// CreateDialog(), points SQLDataSet1 at its connection, sets the caller-set
// members, calls Execute() and, still inside the same handler, reads
// GetSelectedValues() or GetSearchSql(). A closed dialog frees itself once
// control is back in the event loop.
// Where the dialog keeps Search.ini: beside the program, read there as
// ever; when the program's folder can't be written (an installed program),
// the user's own copy in UserFolder is read once it exists, and the first
// write makes it from the program's file.
struct TSearchIniLocation {
    QString ProgramFolder;
    bool ProgramFolderWritable = true;
    QString UserFolder;

    QString ReadPath() const;
    // The file to write; may copy the program's file to the user's folder.
    QString WritePath() const;
};

class TFrmgetdata : public QDialog
{
public:
    explicit TFrmgetdata(QWidget* owner = nullptr);
    ~TFrmgetdata() override;

    // Controls, in the order of the window's layout.
    QFrame* Panel1 = nullptr; // top: the condition builder
    QLabel* Label1 = nullptr;
    TComboBox* ComboBox1 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TRadioGroup* RadioGroup2 = nullptr;
    TSpeedButton* SpeedButton3 = nullptr;
    TDBGrid* DBGridSQL = nullptr;
    TSpeedButton* SpeedButton1 = nullptr;
    TSpeedButton* SpeedButton2 = nullptr;
    QFrame* Panel2 = nullptr; // bottom: navigation, search edit, closing buttons
    TDBSpeedButton* dbSBtnFirst = nullptr;
    TDBSpeedButton* dbSBtnPrior = nullptr;
    TDBSpeedButton* dbSBtnNext = nullptr;
    TDBSpeedButton* dbSBtnLast = nullptr;
    QPushButton* SpeedButton4 = nullptr;
    TSearchEdit* SearchEdit1 = nullptr;
    QPushButton* BTCMDOK = nullptr;
    QPushButton* BDCMDNOT = nullptr;
    QFrame* Panel3 = nullptr; // left side
    QFrame* Panel4 = nullptr; // right side
    QFrame* Panel5 = nullptr; // centre
    TSelectGrid* DBGrid1 = nullptr;
    TComboBox* ComboBox2 = nullptr;

    // Components.
    TSQLDataSet* SQLDataSet1 = nullptr;
    TDataSetProvider* DataSetProvider1 = nullptr;
    TClientDataSet* CDS_Query = nullptr;
    TClientDataSet* CDS_SQL = nullptr;
    TDataSource* DS_SQL = nullptr;

    // Set by the caller after creation and before Execute(); not checked.
    TDataSource* SearchSource = nullptr;
    TClientDataSet* TargetDataSet = nullptr;
    QString TableName;
    QString ColumnList;
    QString OrderClause;
    QString IniSection;

    // Shows the dialog modally; then DialogAccepted, or false when the
    // application ended the showing (a termination signal) before it closed.
    bool Execute();
    // The named field's value over the grid's selected rows, in list order,
    // each followed by CR LF; empty without a selected row.
    QString GetSelectedValues(const QString& FieldName);
    // The statement of the last search of this instance, each line followed
    // by CR LF; empty when none ran.
    QString GetSearchSql() const;

    // Handlers.
    void FormCreate(QObject* Sender);
    void FormShow(QObject* Sender);
    void FormActivate(QObject* Sender);
    void FormClose(QObject* Sender, TCloseAction& Action);
    void SpeedButton3Click(QObject* Sender);
    void SpeedButton2Click(QObject* Sender);
    void SpeedButton1Click(QObject* Sender);
    void SpeedButton4Click(QObject* Sender);
    void BTCMDOK1Click(QObject* Sender);
    void BDCMDNOTClick(QObject* Sender);
    void Edit1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    void ComboBox1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    void dbgrid1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift);
    void DBGrid1TitleButtonClick(QObject* Sender, const QString& AFieldName);
    void DBGrid1DrawDataCell(QObject* Sender, const QRect& Rect, TField* Field,
                             TGridDrawState State);

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Esc closes the dialog only from the field list (ComboBox1KeyDown).
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Tests point Search.ini at a folder of their own through it.
    friend struct TFrmgetdataTestHook;

    void CreateControls();
    void CreateComponents();
    void SetTabOrder();
    TSearchIniLocation SearchIni() const;
    QString SearchIniPath() const;
    QString WritableSearchIniPath() const;

    // The work of the handlers; these throw, the handlers show the error.
    // The operator text and quoted value of the inputs; refuses a value too
    // long for the condition table.
    TConditionValue ConditionFromInputs() const;
    void AddCondition();
    void ResetConditions();
    void SetConnectorFirst();
    void ComposeStatement();
    void RunSearch();
    void SelectAll();

    bool FActivated = false;
    bool FClosed = false;
    bool FExecuting = false;
    // Empty: Search.ini beside the program.
    static QString FSearchIniPathOverride;
};

// The text of a list of lines, each followed by CR LF.
QString LinesWithCrLf(const TStringList& lines);

// The most recently created dialog; null once it has been freed.
extern QPointer<TFrmgetdata> Frmgetdata;
// Set by OK and by Enter in the result grid, cleared by Cancel; nothing
// else changes it.
extern bool DialogAccepted;
// The lines of the statement of the last search; a new empty list with
// every new dialog. No dialog owns it, so it outlives each of them.
extern std::shared_ptr<TStringList> SqlLines;
// The field-list position last read from Search.ini ("Combo").
extern int RememberedFieldIndex;

// A new dialog, owned by the application object, in Frmgetdata.
void CreateDialog();
