#include "FrmMassAmend.h"

#include "DBGrid.h"
#include "Exceptions.h"
#include "FrmWriteBackJournal.h"
#include "Getdata.h"
#include "ProductCatalogue.h"
#include "TApplication.h"
#include "TChangeStamp.h"
#include "TComboBox.h"
#include "TMessageService.h"
#include "TProductSelection.h"
#include "TProgressDialogSink.h"
#include "TReplacementValue.h"
#include "TWaitCursor.h"
#include "TWriteBack.h"
#include "TWriteBackJournal.h"
#include "TWriteBackSnapshot.h"
#include "TWriteBackUndo.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <iterator>
#include <optional>
#include <string_view>
#include <type_traits>
#include <vector>

TFormMassAmend* FormMassAmend = nullptr;

namespace
{

template <typename T> constexpr TFieldType KindOf()
{
    if constexpr (std::is_same_v<T, TStringField>)
        return TFieldType::ftString;
    else if constexpr (std::is_same_v<T, TIntegerField>)
        return TFieldType::ftInteger;
    else
        return TFieldType::ftFloat;
}

struct TFieldMember {
    std::string_view Member;
    std::string_view FieldName;
};

constexpr TFieldMember FieldMembers[] = {
#define PRODUCT_FIELD(Class, Member, Name) {#Member, Name},
#include "FrmMassAmendFields.inc"
#undef PRODUCT_FIELD
};

consteval bool FieldMembersFollowCatalogue()
{
    constexpr std::string_view prefix = "CDS_PRODUCT";
    if (std::size(FieldMembers) != ProductCatalogue::Fields.size()) return false;
    for (std::size_t i = 0; i < std::size(FieldMembers); ++i) {
        const TFieldMember& m = FieldMembers[i];
        if (m.FieldName != ProductCatalogue::Fields[i].FieldName ||
            m.Member.substr(0, prefix.size()) != prefix ||
            m.Member.substr(prefix.size()) != m.FieldName)
            return false;
    }
    return true;
}
static_assert(FieldMembersFollowCatalogue(),
              "FrmMassAmendFields.inc must list the catalogue's fields in order");

QString Utf8(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

template <typename T>
T* CreateProductField(QObject* owner, TDataSet* dataSet, const char* member, int index)
{
    const TProductFieldDef& def = ProductCatalogue::Fields[std::size_t(index)];
    auto* field = new T(owner);
    field->setObjectName(QLatin1String(member));
    field->SetFieldName(def.Name());
    if constexpr (std::is_same_v<T, TStringField>) field->SetSize(def.Size);
    field->SetDisplayLabel(Utf8(def.DisplayLabel));
    field->SetRequired(def.Required);
    if constexpr (std::is_same_v<T, TFloatField>) field->SetDisplayFormat(Utf8(def.DisplayFormat));
    field->SetEditMask(Utf8(def.EditMask));
    field->SetDataSet(dataSet);
    return field;
}

QFrame* CreatePanel(QWidget* parent, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    return panel;
}

template <typename T> T* Named(T* component, const char* name)
{
    component->setObjectName(QLatin1String(name));
    return component;
}

// Bound controls stay still while a handler walks the rows, and follow the
// cursor again however the walk ends.
class TControlsDisabled
{
public:
    explicit TControlsDisabled(TDataSet& dataSet) : FDataSet(dataSet)
    {
        FDataSet.DisableControls();
    }
    ~TControlsDisabled()
    {
        try {
            FDataSet.EnableControls();
        } catch (...) {
            // Nothing leaves a destructor; while unwinding, the first error
            // is the one the operator needs to see.
            if (std::uncaught_exceptions() == 0)
                Application()->HandleException(std::current_exception());
        }
    }
    TControlsDisabled(const TControlsDisabled&) = delete;
    TControlsDisabled& operator=(const TControlsDisabled&) = delete;

private:
    TDataSet& FDataSet;
};

} // namespace

TFormMassAmend::TFormMassAmend(QWidget* parent)
    : QWidget(parent), FChangeStamp(std::make_unique<TChangeStamp>()),
      FProgress(std::make_unique<TProgressDialogSink>(this)),
      FJournal(std::make_unique<TWriteBackJournal>()),
      FLastOutcome(std::make_unique<TWriteBackResult>())
{
    CreateComponents();
    CreateFields();
    CreateControls();
    SetTabOrder();
    CreateJournalMenu();
    const TWaitCursor wait;
    SQLConnection1->SetConnected(true);
    CDS_PRODUCT->SetActive(true);
}

TFormMassAmend::~TFormMassAmend()
{
    if (FormMassAmend == this) FormMassAmend = nullptr;
}

QString TFormMassAmend::StartStatement()
{
    return QStringLiteral("select * from PRODUCT\r\nwhere PROD_ID = '-1'");
}

QString TFormMassAmend::CountSentence(int written, int total)
{
    return QStringLiteral("%1 筆中已寫入 %2 筆，其餘 %3 筆未寫入。")
        .arg(total)
        .arg(written)
        .arg(total - written);
}

QString TFormMassAmend::StoppedMessage(int written, int total)
{
    return QStringLiteral("回存已停止：") + CountSentence(written, total);
}

QString TFormMassAmend::FailedMessage(std::exception_ptr error, int written, int total)
{
    // The engine's message keeps the box's rule for its end; the count is a
    // sentence of its own, already ended.
    return ErrorBoxText(TApplication::ExceptionMessage(error)) + QLatin1Char('\n') +
           CountSentence(written, total);
}

void TFormMassAmend::SetProgress(std::unique_ptr<TProgressSink> progress)
{
    FProgress = std::move(progress);
}

void TFormMassAmend::CreateComponents()
{
    SQLConnection1 = Named(new TSQLConnection(this), "SQLConnection1");
    SQLConnection1->SetConnectionName(QStringLiteral("Tallon"));
    SQLConnection1->SetDriverName(QStringLiteral("Interbase"));
    SQLConnection1->SetGetDriverFunc(QStringLiteral("getSQLDriverINTERBASE"));
    SQLConnection1->SetLibraryName(QStringLiteral("dbexpint.dll"));
    SQLConnection1->SetVendorLib(QStringLiteral("gds32.dll"));
    SQLConnection1->SetLoginPrompt(false);
    SQLConnection1->SetLoadParamsOnConnect(true);
    SQLConnection1->Params().Assign({
        QStringLiteral("DriverName=Interbase"),
        QStringLiteral("Database=localhost:C:\\Tallon\\Data\\Data67\\POSDATA.GDB"),
        QStringLiteral("RoleName=RoleName"),
        QStringLiteral("User_Name=SYSDBA"),
        QStringLiteral("Password=quillsand"),
        QStringLiteral("ServerCharSet="),
        QStringLiteral("SQLDialect=3"),
        QStringLiteral("BlobSize=-1"),
        QStringLiteral("CommitRetain=False"),
        QStringLiteral("WaitOnLocks=True"),
        QStringLiteral("ErrorResourceFile="),
        QStringLiteral("LocaleCode=0000"),
        QStringLiteral("Interbase TransIsolation=ReadCommited"),
        QStringLiteral("Trim Char=False"),
    });

    SQL_Product = Named(new TSQLDataSet(this), "SQL_Product");
    SQL_Product->SetSQLConnection(SQLConnection1);
    SQL_Product->SetCommandText(StartStatement());

    DSP_Product = Named(new TDataSetProvider(this), "DSP_Product");
    DSP_Product->SetDataSet(SQL_Product);
    DSP_Product->SetOptions({TProviderOption::poAllowCommandText});

    CDS_PRODUCT = Named(new TClientDataSet(this), "CDS_PRODUCT");
    CDS_PRODUCT->SetProvider(DSP_Product);
    CDS_PRODUCT->AfterOpen = [this](TDataSet* dataSet) { CDS_PRODUCTAfterOpen(dataSet); };

    DataSource1 = Named(new TDataSource(this), "DataSource1");
    DataSource1->SetDataSet(CDS_PRODUCT);
    DS_Search = Named(new TDataSource(this), "DS_Search");
    SQLQuery1 = Named(new TSQLQuery(this), "SQLQuery1");
    SQLQuery1->SetSQLConnection(SQLConnection1);
    ClientDataSet1 = Named(new TClientDataSet(this), "ClientDataSet1");
}

void TFormMassAmend::CreateFields()
{
#define PRODUCT_FIELD(Class, Member, Name)                                                         \
    static_assert(KindOf<Class>() ==                                                               \
                      ProductCatalogue::Fields[ProductCatalogue::IndexOf(Name)].DataType,          \
                  #Member " must be of the catalogue's kind");                                     \
    Member = CreateProductField<Class>(this, CDS_PRODUCT, #Member, ProductCatalogue::IndexOf(Name));
#include "FrmMassAmendFields.inc"
#undef PRODUCT_FIELD
}

void TFormMassAmend::CreateControls()
{
    setWindowTitle(QStringLiteral("商品資料批次異動"));
    QFont windowFont(QStringLiteral("新細明體"));
    windowFont.setFamilies(
        {QStringLiteral("新細明體"), QStringLiteral("PMingLiU"), QStringLiteral("AR PL UMing TW")});
    windowFont.setPixelSize(13);
    setFont(windowFont);

    Panel1 = CreatePanel(this, "Panel1");
    Panel2 = CreatePanel(this, "Panel2");
    Panel3 = CreatePanel(this, "Panel3");
    Panel1->setFixedHeight(41);
    Panel3->setFixedHeight(41);
    // The bands keep their height; the middle area takes the rest.
    auto* bands = new QVBoxLayout(this);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);
    bands->addWidget(Panel1);
    bands->addWidget(Panel2, 1);
    bands->addWidget(Panel3);

    SpeedButton1 = Named(new QToolButton(Panel1), "SpeedButton1");
    SpeedButton1->setText(QStringLiteral("商品選擇"));
    SpeedButton1->setGeometry(18, 8, 99, 25);
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    // It takes no focus, so a key reaches it from anywhere in the window,
    // the grid included.
    SpeedButton1->setShortcut(QKeySequence(Qt::Key_F2));
    SpeedButton1->setToolTip(QStringLiteral("商品選擇 (F2)"));
    connect(SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(SpeedButton1); });

    CheckBox1 = Named(new QCheckBox(QStringLiteral("快速全選"), Panel1), "CheckBox1");
    CheckBox1->setGeometry(136, 13, 97, 17);

    DBGrid1 = Named(new TDBGrid(Panel2), "DBGrid1");
    DBGrid1->SetDataSource(DataSource1);
    DBGrid1->SetReadOnly(true);
    auto* middle = new QVBoxLayout(Panel2);
    middle->setContentsMargins(0, 0, 0, 0);
    middle->addWidget(DBGrid1);

    Label1 = Named(new QLabel(QStringLiteral("替換欄位"), Panel3), "Label1");
    Label1->move(32, 8);
    Label1->adjustSize();
    ComboBox1 = Named(new TComboBox(Panel3), "ComboBox1");
    ComboBox1->setGeometry(96, 6, 145, 21);
    Label2 = Named(new QLabel(QStringLiteral("="), Panel3), "Label2");
    Label2->move(248, 8);
    Label2->adjustSize();
    Edit1 = Named(new QLineEdit(Panel3), "Edit1");
    Edit1->setGeometry(266, 5, 121, 21);
    Button1 = Named(new QPushButton(QStringLiteral("更動"), Panel3), "Button1");
    Button1->setGeometry(400, 4, 57, 25);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
    Button2 = Named(new QPushButton(QStringLiteral("回存"), Panel3), "Button2");
    Button2->setGeometry(458, 4, 63, 25);
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(Button2); });
    ComboBox2 = Named(new TComboBox(Panel3), "ComboBox2");
    ComboBox2->setGeometry(624, 6, 145, 21);
    ComboBox2->setVisible(false);

    resize(785, 444);
    if (const QScreen* desktop = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        desktop->availableGeometry()));
}

void TFormMassAmend::SetTabOrder()
{
    // Bands in order top, middle, bottom; in the bottom band the column list,
    // the value, the hidden list, then the two buttons. The speed button takes
    // no focus.
    QWidget::setTabOrder(CheckBox1, DBGrid1);
    QWidget::setTabOrder(DBGrid1, ComboBox1);
    QWidget::setTabOrder(ComboBox1, Edit1);
    QWidget::setTabOrder(Edit1, ComboBox2);
    QWidget::setTabOrder(ComboBox2, Button1);
    QWidget::setTabOrder(Button1, Button2);
}

void TFormMassAmend::CreateJournalMenu()
{
    PopupMenu1 = Named(new QMenu(this), "PopupMenu1");
    MenuItemJournal = Named(new QAction(QStringLiteral("回存記錄"), this), "MenuItemJournal");
    MenuItemJournal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    MenuItemJournal->setShortcutContext(Qt::WindowShortcut);
    connect(MenuItemJournal, &QAction::triggered, this,
            [this] { MenuItemJournalClick(MenuItemJournal); });
    MenuItemUndo = Named(new QAction(QStringLiteral("復原"), this), "MenuItemUndo");
    MenuItemUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    MenuItemUndo->setShortcutContext(Qt::WindowShortcut);
    connect(MenuItemUndo, &QAction::triggered, this, [this] { MenuItemUndoClick(MenuItemUndo); });
    PopupMenu1->addAction(MenuItemJournal);
    PopupMenu1->addAction(MenuItemUndo);
    // The window's own shortcuts, wherever the focus is in it.
    addAction(MenuItemJournal);
    addAction(MenuItemUndo);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(at)); });
}

TFrmWriteBackJournal* TFormMassAmend::JournalWindow() const
{
    return FJournalWindow;
}

QString TFormMassAmend::DatabaseName() const
{
    return SQLConnection1->Params().Values(QStringLiteral("Database"));
}

TJournalEntry TFormMassAmend::NewJournalEntry(const QString& column,
                                              const TSQLParamValue& value) const
{
    TJournalEntry entry;
    entry.Database = DatabaseName();
    entry.Column = column;
    entry.Value = value;
    return entry;
}

QString TFormMassAmend::ChosenColumn() const
{
    return ComboBox2->itemText(ComboBox1->ItemIndex());
}

void TFormMassAmend::SpeedButton1Click(QObject* Sender)
{
    if (Refused()) return;
    Application()->Guard([&] {
        QStringList fieldNames;
        for (const TField* field : CDS_PRODUCT->Fields())
            fieldNames.append(field->FieldName());
        const QString columnList = TProductSelection::ColumnList(fieldNames);
        DS_Search->SetDataSet(CDS_PRODUCT);
        CreateDialog();
        // A closed dialog frees itself once this handler is back in the
        // event loop, so it is read here and nowhere else.
        const QPointer<TFrmgetdata> dialog = Frmgetdata;
        dialog->SQLDataSet1->SetSQLConnection(SQLQuery1->SQLConnection());
        dialog->SearchSource = DS_Search;
        dialog->TableName = QStringLiteral("PRODUCT");
        dialog->IniSection = QStringLiteral("PRODUCT");
        dialog->TargetDataSet = CDS_PRODUCT;
        dialog->ColumnList = columnList;
        dialog->OrderClause = QStringLiteral(" ORDER BY PROD_ID");
        if (!dialog->Execute() || !dialog) return;
        const TWaitCursor wait;
        if (CheckBox1->isChecked()) {
            CDS_PRODUCT->Close();
            CDS_PRODUCT->SetCommandText(dialog->GetSearchSql());
            CDS_PRODUCT->Open();
            return;
        }
        const QStringList codes =
            TProductSelection::CodeList(dialog->GetSelectedValues(QStringLiteral("PROD_ID")));
        if (codes.isEmpty()) return;
        const TSelectCommand command = TProductSelection::SelectCommand(codes);
        CDS_PRODUCT->SetPacketRecords(-1);
        CDS_PRODUCT->Close();
        CDS_PRODUCT->SetCommandText(command.Text);
        CDS_PRODUCT->SetParamBatches(command.ParamBatches);
        CDS_PRODUCT->Open();
    });
}

void TFormMassAmend::CDS_PRODUCTAfterOpen(TDataSet* DataSet)
{
    ComboBox1->Clear();
    ComboBox2->Clear();
    QStringList displayNames;
    QStringList fieldNames;
    for (const TField* field : DataSet->Fields()) {
        displayNames.append(field->DisplayName());
        fieldNames.append(field->FieldName());
    }
    ComboBox1->AddItems(displayNames);
    ComboBox2->AddItems(fieldNames);
}

void TFormMassAmend::Button1Click(QObject* Sender)
{
    if (Refused()) return;
    Application()->Guard([&] {
        const QString column = ChosenColumn();
        const QString value = Edit1->text();
        CDS_PRODUCT->SetPacketRecords(-1);
        TControlsDisabled still(*CDS_PRODUCT);
        // Posting may move a row within an order on the chosen column, so the
        // rows are named first and then each one is visited once.
        QList<TBookmark> rows;
        for (CDS_PRODUCT->First(); !CDS_PRODUCT->Eof(); CDS_PRODUCT->Next())
            rows.append(CDS_PRODUCT->GetBookmark());
        for (const TBookmark& row : std::as_const(rows)) {
            CDS_PRODUCT->GotoBookmark(row);
            CDS_PRODUCT->Edit();
            CDS_PRODUCT->FieldByName(column)->SetAsString(value);
            CDS_PRODUCT->Post();
        }
        CDS_PRODUCT->Last();
    });
}

void TFormMassAmend::Button2Click(QObject* Sender)
{
    if (Refused()) return;
    Application()->Guard([&] {
        TWriteBack writeBack(*SQLQuery1, *FChangeStamp);
        writeBack.Column = ChosenColumn();
        CDS_PRODUCT->First();
        const int total = CDS_PRODUCT->RecordCount();
        // A value the column can't take is refused before the first row, on
        // every database alike. With no row there is nothing to refuse, and
        // the names are refreshed all the same.
        const QString value =
            total > 0 ? TReplacementValue::ForField(CDS_PRODUCT->FindField(writeBack.Column),
                                                    Edit1->text())
                      : Edit1->text();
        std::vector<TWriteBackRow> rows;
        rows.reserve(std::size_t(total));
        TWriteBackResult result;
        {
            TControlsDisabled still(*CDS_PRODUCT);
            for (; !CDS_PRODUCT->Eof(); CDS_PRODUCT->Next())
                rows.push_back({CDS_PRODUCTPROD_ID->AsString(), value, {}});
            // Journaled before the first UPDATE, so that it can be taken
            // back; without a row or a column of the list nothing could be
            // written. A journal that can't be used stops it here.
            if (!rows.empty() && CDS_PRODUCT->FindField(writeBack.Column)) {
                PrepareJournal();
                writeBack.Journal = FJournal.get();
                writeBack.JournalEntry = NewJournalEntry(writeBack.Column, value);
            }
            result = RunWriteBack(writeBack, rows);
            // The rows were written on another thread; the cursor goes where
            // following them would have left it: on the row that failed or
            // was not written, past the end when all were.
            CDS_PRODUCT->First();
            CDS_PRODUCT->MoveBy(result.Written);
        }
        switch (result.Outcome) {
        case TWriteBackOutcome::Complete:
        case TWriteBackOutcome::Ending:
            return;
        case TWriteBackOutcome::Failed:
            Messages().ShowError(Application()->Title(),
                                 FailedMessage(result.Error, result.Written, result.Total) +
                                     StaleNamesLine(result, writeBack.Column));
            return;
        case TWriteBackOutcome::Stopped:
            Messages().ShowMessage(StoppedMessage(result.Written, result.Total) +
                                   StaleNamesLine(result, writeBack.Column));
            return;
        }
    });
}

bool TFormMassAmend::Refused() const
{
    // A click that came in while a run ends must not start another on the
    // connection or the journal that the run still holds.
    if (!FRunning) return false;
    QApplication::beep();
    return true;
}

TWriteBackResult TFormMassAmend::RunWriteBack(TWriteBack& writeBack,
                                              const std::vector<TWriteBackRow>& rows)
{
    FRunning = true;
    const auto done = qScopeGuard([this] { FRunning = false; });
    *FLastOutcome = writeBack.Run(rows, *FProgress);
    return *FLastOutcome;
}

void TFormMassAmend::PrepareJournal()
{
    FJournal->Prepare();
    const QString aside = FJournal->TakeSetAsideFile();
    if (!aside.isEmpty()) Messages().ShowMessage(SetAsideMessage(aside));
}

QString TFormMassAmend::SetAsideMessage(const QString& file)
{
    return QStringLiteral("回存記錄檔已損毀，無法完整讀取：已移到 %1 保存，並開始新的記錄檔。"
                          "之前的回存無法再從這裡復原。")
        .arg(QDir::toNativeSeparators(file));
}

QString TFormMassAmend::StaleNamesLine(const TWriteBackResult& result, const QString& column)
{
    if (!result.NamesStale) return {};
    return QLatin1Char('\n') + QStringLiteral("已寫入商品的「%1」未依新代號重新整理。")
                                   .arg(TWriteBackUndo::ColumnName(TWriteBack::NameColumn(column)));
}

void TFormMassAmend::MenuItemJournalClick(QObject* Sender)
{
    if (Refused()) return;
    Application()->Guard([&] {
        if (!FJournalWindow) {
            // Kept when closed: an undo started from it may still be running.
            FJournalWindow = new TFrmWriteBackJournal(*FJournal, DatabaseName(), this);
            FJournalWindow->OnUndo = [this](qint64 id) { UndoWriteBack(id); };
        } else {
            FJournalWindow->Refresh();
        }
        FJournalWindow->show();
        FJournalWindow->raise();
        FJournalWindow->activateWindow();
    });
}

void TFormMassAmend::MenuItemUndoClick(QObject* Sender)
{
    if (Refused()) return;
    Application()->Guard([&] {
        const QList<TJournalEntry> entries = FJournal->Entries(DatabaseName());
        if (entries.isEmpty()) {
            Messages().ShowMessage(QStringLiteral("這個資料庫沒有可復原的回存。"));
            return;
        }
        UndoWriteBack(entries.first().Id);
    });
}

void TFormMassAmend::UndoWriteBack(qint64 id)
{
    if (Refused()) return;
    Application()->Guard([&] {
        const std::optional<TJournalEntry> entry = FJournal->Entry(id);
        if (!entry) return;
        const std::vector<TWriteBackRow> rows = TWriteBackUndo::Rows(*entry, FJournal->Rows(id));
        if (rows.empty()) {
            Messages().ShowMessage(TWriteBackUndo::NothingText());
            return;
        }
        if (Messages().MessageDlg(TWriteBackUndo::ConfirmText(*entry, int(rows.size())),
                                  TMsgDlgType::mtConfirmation,
                                  {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, 0) != mrYes)
            return;
        TWriteBack writeBack(*SQLQuery1, *FChangeStamp);
        writeBack.Column = entry->Column;
        writeBack.Guarded = true;
        // The undo is journaled as a write-back of its own, so it can be taken
        // back in turn.
        PrepareJournal();
        writeBack.Journal = FJournal.get();
        writeBack.JournalEntry = NewJournalEntry(entry->Column, std::nullopt);
        writeBack.JournalEntry.Undoes = id;
        // A pending row that its guard keeps was, as far as anyone can tell,
        // never written: it is no row changed since. A row that gets back the
        // value it holds is no row restored.
        int unwritten = 0;
        int unchanged = 0;
        writeBack.OnRowWritten = [&](int index) {
            const TWriteBackRow& row = rows[std::size_t(index)];
            if (!writeBack.LastRowChanged())
                unwritten += row.Unproven;
            else
                unchanged += TWriteBackUndo::SameValue(entry->Column, row);
        };
        const TWriteBackResult result = RunWriteBack(writeBack, rows);
        switch (result.Outcome) {
        case TWriteBackOutcome::Ending:
            return;
        case TWriteBackOutcome::Failed:
            Messages().ShowError(Application()->Title(),
                                 FailedMessage(result.Error, result.Written, result.Total) +
                                     StaleNamesLine(result, entry->Column));
            return;
        case TWriteBackOutcome::Complete:
        case TWriteBackOutcome::Stopped:
            Messages().ShowMessage(
                TWriteBackUndo::DoneText(result.Changed() - unchanged, result.Skipped - unwritten,
                                         result.Total - result.Written, unwritten, unchanged) +
                StaleNamesLine(result, entry->Column));
            return;
        }
    });
}
