#include "Getdata.h"

#include "DBGrid.h"
#include "DBSBtn.h"
#include "DBSearch.h"
#include "Exceptions.h"
#include "GetdataPictures.h"
#include "QueryDialogSettings.h"
#include "SelectGrid.h"
#include "TApplication.h"
#include "TComboBox.h"
#include "TIniFile.h"
#include "TRadioGroup.h"
#include "TSpeedButton.h"
#include "UserDataFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>
#include <set>

QPointer<TFrmgetdata> Frmgetdata;
bool DialogAccepted = false;
std::shared_ptr<TStringList> SqlLines = std::make_shared<TStringList>();
int RememberedFieldIndex = 0;

QString TFrmgetdata::FSearchIniPathOverride;

namespace
{

const QString IniKeyCombo = QStringLiteral("Combo");
const QString IniKeyRadio = QStringLiteral("Radio");
const QString IniKeyEdit = QStringLiteral("Edit");

template <typename T> T* Named(T* component, const char* name)
{
    component->setObjectName(QLatin1String(name));
    return component;
}

QFrame* CreatePanel(QWidget* parent, const char* name)
{
    auto* panel = Named(new QFrame(parent), name);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(1);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
    return panel;
}

// Instances that are still alive when the application's event loop ends are
// freed then: a dialog that was never shown never releases itself.
std::set<TFrmgetdata*>& LiveDialogs()
{
    static std::set<TFrmgetdata*> dialogs;
    return dialogs;
}

void FreeDialogsAtQuit()
{
    static QPointer<QCoreApplication> hooked;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || hooked == app) return;
    hooked = app;
    QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] {
        const std::set<TFrmgetdata*> dialogs = LiveDialogs();
        for (TFrmgetdata* dialog : dialogs)
            delete dialog;
    });
}

} // namespace

QString LinesWithCrLf(const TStringList& lines)
{
    QString text;
    for (const QString& line : lines.Lines())
        text += line + QStringLiteral("\r\n");
    return text;
}

TFrmgetdata::TFrmgetdata(QWidget* owner) : QDialog(owner)
{
    LiveDialogs().insert(this);
    FreeDialogsAtQuit();
    CreateComponents();
    CreateControls();
    SetTabOrder();
    FormCreate(this);
}

TFrmgetdata::~TFrmgetdata()
{
    LiveDialogs().erase(this);
}

void CreateDialog()
{
    Frmgetdata = new TFrmgetdata(nullptr);
}

void TFrmgetdata::CreateComponents()
{
    SQLDataSet1 = Named(new TSQLDataSet(this), "SQLDataSet1");
    DataSetProvider1 = Named(new TDataSetProvider(this), "DataSetProvider1");
    DataSetProvider1->SetDataSet(SQLDataSet1);
    DataSetProvider1->SetOptions({TProviderOption::poAllowCommandText});
    CDS_Query = Named(new TClientDataSet(this), "CDS_Query");
    CDS_Query->SetProvider(DataSetProvider1);
    CDS_SQL = Named(new TClientDataSet(this), "CDS_SQL");
    DS_SQL = Named(new TDataSource(this), "DS_SQL");
    DS_SQL->SetDataSet(CDS_SQL);
}

void TFrmgetdata::CreateControls()
{
    setObjectName(QStringLiteral("Frmgetdata"));
    setWindowTitle(QStringLiteral("資料查詢擷取"));
    setFont(QueryDialogSettings::DialogFont(12));

    Panel1 = CreatePanel(this, "Panel1");
    Panel1->setFixedHeight(121);
    Panel1->setFont(QueryDialogSettings::DialogFont(13));
    Panel2 = CreatePanel(this, "Panel2");
    Panel2->setFixedHeight(41);
    Panel3 = CreatePanel(this, "Panel3");
    Panel3->setFixedWidth(17);
    Panel4 = CreatePanel(this, "Panel4");
    Panel4->setFixedWidth(20);
    Panel5 = CreatePanel(this, "Panel5");

    // Top and bottom bands keep their height; between them the two side
    // panels keep their width and the centre takes the rest.
    auto* bands = new QVBoxLayout(this);
    bands->setContentsMargins(0, 0, 0, 0);
    bands->setSpacing(0);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(0);
    middle->addWidget(Panel3);
    middle->addWidget(Panel5, 1);
    middle->addWidget(Panel4);
    bands->addWidget(Panel1);
    bands->addLayout(middle, 1);
    bands->addWidget(Panel2);

    // ---- top: the condition builder ----
    Label1 = Named(new QLabel(QStringLiteral("搜尋欄位選擇"), Panel1), "Label1");
    QPalette blue = Label1->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label1->setPalette(blue);
    Label1->setGeometry(16, 8, 153, 17);

    ComboBox1 = Named(new TComboBox(Panel1), "ComboBox1");
    ComboBox1->setGeometry(16, 28, 153, 21);
    ComboBox1->installEventFilter(this);
    if (ComboBox1->lineEdit()) ComboBox1->lineEdit()->installEventFilter(this);

    RadioGroup1 = Named(new TRadioGroup(Panel1), "RadioGroup1");
    RadioGroup1->setGeometry(180, 2, 209, 45);
    RadioGroup1->SetColumns(3);
    RadioGroup1->SetItems(
        {QStringLiteral("完全"), QStringLiteral("字首"), QStringLiteral("其中有")});
    RadioGroup1->SetItemIndex(2);

    Edit1 = Named(new QLineEdit(Panel1), "Edit1");
    Edit1->setGeometry(180, 54, 209, 21);
    Edit1->installEventFilter(this);

    RadioGroup2 = Named(new TRadioGroup(Panel1), "RadioGroup2");
    RadioGroup2->setGeometry(400, 2, 137, 45);
    RadioGroup2->SetColumns(2);
    RadioGroup2->SetItems({QStringLiteral("WHERE"), QStringLiteral("AND")});

    SpeedButton3 = Named(new TSpeedButton(Panel1), "SpeedButton3");
    SpeedButton3->SetCaption(QStringLiteral("加入條件"));
    SpeedButton3->setGeometry(400, 52, 137, 25);
    SpeedButton3->SetFlat(true);
    SpeedButton3->SetGlyph(GetdataPictures::AddCondition());
    SpeedButton3->OnClick = [this](QObject* sender) { SpeedButton3Click(sender); };

    DBGridSQL = Named(new TDBGrid(Panel1), "DBGridSQL");
    DBGridSQL->setGeometry(548, 4, 217, 111);
    DBGridSQL->SetReadOnly(true);
    {
        using enum TDBGridOption;
        DBGridSQL->SetOptions(
            {dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs, dgRowSelect});
    }
    DBGridSQL->SetDataSource(DS_SQL);

    SpeedButton1 = Named(new TSpeedButton(Panel1), "SpeedButton1");
    SpeedButton1->SetCaption(QStringLiteral("開始尋找"));
    SpeedButton1->setGeometry(16, 86, 105, 29);
    SpeedButton1->SetFlat(true);
    SpeedButton1->setCursor(Qt::PointingHandCursor);
    SpeedButton1->SetGlyph(GetdataPictures::Search());
    SpeedButton1->OnClick = [this](QObject* sender) { SpeedButton1Click(sender); };

    SpeedButton2 = Named(new TSpeedButton(Panel1), "SpeedButton2");
    SpeedButton2->SetCaption(QStringLiteral("條件重設"));
    SpeedButton2->SetHint(QStringLiteral("重設條件"));
    SpeedButton2->setGeometry(128, 86, 105, 29);
    SpeedButton2->SetFlat(true);
    SpeedButton2->setCursor(Qt::PointingHandCursor);
    SpeedButton2->SetGlyph(GetdataPictures::Reset());
    SpeedButton2->OnClick = [this](QObject* sender) { SpeedButton2Click(sender); };

    for (TSpeedButton* button : {SpeedButton1, SpeedButton2, SpeedButton3})
        button->setFocusPolicy(Qt::NoFocus);
    // They take no focus, so keys reach them from anywhere in the dialog.
    SpeedButton1->setShortcut(QKeySequence(Qt::Key_F3));
    SpeedButton3->setShortcut(QKeySequence(Qt::Key_F4));
    SpeedButton2->setShortcut(QKeySequence(Qt::Key_F5));

    // ---- centre: the result grid and the hidden name list ----
    DBGrid1 = Named(new TSelectGrid(Panel5), "DBGrid1");
    QueryDialogSettings::Apply(*DBGrid1);
    // The dialog's own handlers take over, calling the shared ones.
    DBGrid1->OnKeyDown = [this](QObject* sender, int& key, Qt::KeyboardModifiers shift) {
        dbgrid1KeyDown(sender, key, shift);
    };
    DBGrid1->OnTitleButtonClick = [this](QObject* sender, const QString& fieldName) {
        DBGrid1TitleButtonClick(sender, fieldName);
    };
    DBGrid1->OnDrawDataCell = [this](QObject* sender, const QRect& rect, TField* field,
                                     TGridDrawState state) {
        DBGrid1DrawDataCell(sender, rect, field, state);
    };
    auto* centre = new QVBoxLayout(Panel5);
    centre->setContentsMargins(0, 0, 0, 0);
    centre->addWidget(DBGrid1);

    ComboBox2 = Named(new TComboBox(Panel5), "ComboBox2");
    ComboBox2->setGeometry(8, 8, 145, 21);
    ComboBox2->setVisible(false);

    // ---- bottom: navigation, search edit, closing buttons ----
    struct TNavButton {
        TDBSpeedButton*& Member;
        const char* Name;
        TDBButtonType Type;
        TDBBDisableReason End;
        const char16_t* Caption;
        const char16_t* Hint;
        QKeyCombination Key;
    };
    const TNavButton navigation[] = {
        {dbSBtnFirst, "dbSBtnFirst", TDBButtonType::nbFirst, TDBBDisableReason::drBOF, u"首筆",
         u"首筆記錄", Qt::ALT | Qt::Key_Home},
        {dbSBtnPrior, "dbSBtnPrior", TDBButtonType::nbPrior, TDBBDisableReason::drBOF, u"前筆",
         u"前筆記錄", Qt::ALT | Qt::Key_PageUp},
        {dbSBtnNext, "dbSBtnNext", TDBButtonType::nbNext, TDBBDisableReason::drEOF, u"次筆",
         u"次筆記錄", Qt::ALT | Qt::Key_PageDown},
        {dbSBtnLast, "dbSBtnLast", TDBButtonType::nbLast, TDBBDisableReason::drEOF, u"末筆",
         u"末筆記錄", Qt::ALT | Qt::Key_End},
    };
    int x = 17;
    for (const TNavButton& nav : navigation) {
        auto* button = Named(new TDBSpeedButton(Panel2), nav.Name);
        button->SetDataButtonType(nav.Type);
        button->SetDisableReasons(
            {nav.End, TDBBDisableReason::drEditing, TDBBDisableReason::drEmpty});
        button->SetCaption(QString::fromUtf16(nav.Caption));
        button->SetHint(QString::fromUtf16(nav.Hint));
        button->SetLayout(TButtonLayout::blGlyphTop);
        button->SetFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setShortcut(QKeySequence(nav.Key));
        button->setGeometry(x, 2, 45, 37);
        button->SetEnabled(true); // RuntimeEnabled
        nav.Member = button;
        x += 45;
    }

    SpeedButton4 = Named(new QPushButton(QStringLiteral("全選"), Panel2), "SpeedButton4");
    SpeedButton4->setGeometry(208, 8, 57, 25);
    connect(SpeedButton4, &QPushButton::clicked, this, [this] { SpeedButton4Click(SpeedButton4); });

    SearchEdit1 = Named(new TSearchEdit(Panel2), "SearchEdit1");
    SearchEdit1->setGeometry(272, 10, 193, 21);

    BTCMDOK = Named(new QPushButton(QStringLiteral("確定&Y"), Panel2), "BTCMDOK");
    BTCMDOK->setGeometry(560, 6, 97, 29);
    BTCMDOK->setCursor(Qt::PointingHandCursor);
    BTCMDOK->setIcon(QPixmap::fromImage(GetdataPictures::Ok()));
    connect(BTCMDOK, &QPushButton::clicked, this, [this] { BTCMDOK1Click(BTCMDOK); });

    BDCMDNOT = Named(new QPushButton(QStringLiteral("取消&C"), Panel2), "BDCMDNOT");
    BDCMDNOT->setGeometry(664, 6, 97, 29);
    BDCMDNOT->setCursor(Qt::PointingHandCursor);
    BDCMDNOT->setIcon(QPixmap::fromImage(GetdataPictures::Cancel()));
    connect(BDCMDNOT, &QPushButton::clicked, this, [this] { BDCMDNOTClick(BDCMDNOT); });

    // Enter belongs to the value edit and the grids, never to a default
    // button; on a button that has the focus it presses that button.
    for (QPushButton* button : {SpeedButton4, BTCMDOK, BDCMDNOT}) {
        button->setAutoDefault(false);
        button->setDefault(false);
        button->installEventFilter(this);
    }

    resize(784, 441);
    if (const QScreen* desktop = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        desktop->availableGeometry()));
    Edit1->setFocus();
}

void TFrmgetdata::SetTabOrder()
{
    // Top band left to right, the condition list, the result grid, then the
    // bottom band. Speed buttons take no focus.
    QWidget::setTabOrder(ComboBox1, RadioGroup1);
    QWidget::setTabOrder(RadioGroup1, Edit1);
    QWidget::setTabOrder(Edit1, RadioGroup2);
    QWidget::setTabOrder(RadioGroup2, DBGridSQL);
    QWidget::setTabOrder(DBGridSQL, DBGrid1);
    QWidget::setTabOrder(DBGrid1, SpeedButton4);
    QWidget::setTabOrder(SpeedButton4, SearchEdit1);
    QWidget::setTabOrder(SearchEdit1, BTCMDOK);
    QWidget::setTabOrder(BTCMDOK, BDCMDNOT);
}

QString TSearchIniLocation::ReadPath() const
{
    const QString beside = ProgramFolder + QStringLiteral("/Search.ini");
    if (ProgramFolderWritable) return beside;
    // An installed program's folder is not the user's to write: the user's
    // own copy, once there is one, holds what was written since.
    const QString own = UserFolder + QStringLiteral("/Search.ini");
    return QFileInfo::exists(own) ? own : beside;
}

QString TSearchIniLocation::WritePath() const
{
    const QString read = ReadPath();
    if (ProgramFolderWritable || !read.startsWith(ProgramFolder + QLatin1Char('/'))) return read;
    // The first write starts the user's copy from the program's file.
    const QString own = UserFolder + QStringLiteral("/Search.ini");
    QDir().mkpath(UserFolder);
    if (QFileInfo::exists(read)) QFile::copy(read, own);
    return own;
}

TSearchIniLocation TFrmgetdata::SearchIni() const
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return {programFolder, QFileInfo(programFolder).isWritable(), UserDataFolder()};
}

QString TFrmgetdata::SearchIniPath() const
{
    return FSearchIniPathOverride.isEmpty() ? SearchIni().ReadPath() : FSearchIniPathOverride;
}

QString TFrmgetdata::WritableSearchIniPath() const
{
    return FSearchIniPathOverride.isEmpty() ? SearchIni().WritePath() : FSearchIniPathOverride;
}

// ---- lifecycle ----------------------------------------------------------------

void TFrmgetdata::FormCreate(QObject* Sender)
{
    SqlLines = std::make_shared<TStringList>();
}

void TFrmgetdata::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Once per instance: focus coming back from a message box shows nothing new.
    if (FActivated) return;
    FActivated = true;
    FormShow(this);
    FormActivate(this);
}

void TFrmgetdata::FormShow(QObject* Sender)
{
    Application()->Guard([&] {
        CDS_SQL->Close();
        CDS_SQL->FieldDefs().Clear();
        CDS_SQL->FieldDefs().Add(QStringLiteral("recid"), TFieldType::ftInteger);
        CDS_SQL->FieldDefs().Add(QStringLiteral("SQL_WHERE"), TFieldType::ftString, 20);
        CDS_SQL->FieldDefs().Add(QStringLiteral("Col_Name"), TFieldType::ftString, 50);
        CDS_SQL->FieldDefs().Add(QStringLiteral("Col_DisplayName"), TFieldType::ftString, 50);
        CDS_SQL->FieldDefs().Add(QStringLiteral("SQL_GEN"), TFieldType::ftString, 20);
        CDS_SQL->FieldDefs().Add(QStringLiteral("SCH_VALUE"), TFieldType::ftString, 20);
        CDS_SQL->IndexDefs().Clear();
        CDS_SQL->IndexDefs().Add(QStringLiteral("IntIndex"), QStringLiteral("recid"), {});
        CDS_SQL->CreateDataSet();

        TDBGridColumns& columns = DBGridSQL->Columns();
        const int widths[] = {20, 80, 80, 80, 80};
        for (int i = 0; i < columns.Count() && i < 5; ++i) {
            columns[i]->SetWidth(widths[i]);
            if (i < 3) columns[i]->SetVisible(false);
        }
        SetConnectorFirst();
    });
}

void TFrmgetdata::FormActivate(QObject* Sender)
{
    Application()->Guard([&] {
        const QString path = SearchIniPath();
        if (QFileInfo::exists(path)) {
            const TIniFile ini(path);
            RememberedFieldIndex = ini.ReadInteger(IniSection, IniKeyCombo, 0);
            RadioGroup1->SetItemIndex(ini.ReadInteger(IniSection, IniKeyRadio, 0));
            Edit1->setText(ini.ReadString(IniSection, IniKeyEdit, QString()));
        }

        std::exception_ptr failure;
        try {
            if (!SearchSource)
                throw Exception(QStringLiteral("%1: 沒有指定 SearchSource").arg(objectName()));
            SearchSource->SetDataSet(TargetDataSet);
            DBGrid1->SetDataSource(SearchSource);
            SearchEdit1->SetDataSource(SearchSource);
            for (TDBSpeedButton* button : {dbSBtnFirst, dbSBtnLast, dbSBtnPrior, dbSBtnNext})
                button->SetDataSource(SearchSource);
            TDataSet* shown = SearchSource->DataSet();
            if (!shown || shown->FieldCount() < 2)
                throw Exception(QStringLiteral("%1: 目標資料集至少要有兩個欄位").arg(objectName()));
            SearchEdit1->SetDataField(shown->Fields().at(1)->FieldName());
            QStringList displayNames;
            QStringList fullNames;
            for (const TField* field : shown->Fields()) {
                displayNames.append(field->DisplayName());
                fullNames.append(field->FullName());
            }
            ComboBox1->AddItems(displayNames);
            ComboBox2->AddItems(fullNames);
        } catch (...) {
            failure = std::current_exception();
        }
        // Whatever failed above, the remembered field is selected.
        const int count = ComboBox1->count();
        ComboBox1->SetItemIndex(
            RememberedFieldIndex >= 0 && RememberedFieldIndex < count ? RememberedFieldIndex : -1);
        if (failure) std::rethrow_exception(failure);
    });
}

void TFrmgetdata::FormClose(QObject* Sender, TCloseAction& Action)
{
    ColumnList.clear();
    Action = TCloseAction::caFree;
    TIniFile ini(WritableSearchIniPath());
    ini.WriteInteger(IniSection, IniKeyCombo, ComboBox1->ItemIndex());
    ini.WriteInteger(IniSection, IniKeyRadio, RadioGroup1->ItemIndex());
    ini.WriteString(IniSection, IniKeyEdit, Edit1->text());
}

void TFrmgetdata::done(int result)
{
    // A file that can't be written doesn't keep the dialog open: the closing
    // goes on and the error is shown once the window is gone.
    TCloseAction action = TCloseAction::caFree;
    std::exception_ptr failure;
    try {
        FormClose(this, action);
    } catch (...) {
        failure = std::current_exception();
    }
    FClosed = true;
    QDialog::done(result);
    if (failure) Application()->HandleException(failure);
    // A modal showing is released once Execute() has returned, so its caller
    // can still read the results, whatever loop runs the deferred delete.
    if (action == TCloseAction::caFree && !FExecuting) deleteLater();
}

bool TFrmgetdata::Execute()
{
    FClosed = false;
    FExecuting = true;
    exec();
    FExecuting = false;
    if (FClosed) deleteLater();
    // A showing that the application's end broke off was accepted by no one,
    // whatever an earlier showing left in DialogAccepted.
    return FClosed && DialogAccepted;
}

void TFrmgetdata::BTCMDOK1Click(QObject* Sender)
{
    DialogAccepted = true;
    accept();
}

void TFrmgetdata::BDCMDNOTClick(QObject* Sender)
{
    DialogAccepted = false;
    reject();
}

void TFrmgetdata::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool TFrmgetdata::eventFilter(QObject* watched, QEvent* event)
{
    const bool fieldList = watched == ComboBox1 || (ComboBox1 && watched == ComboBox1->lineEdit());
    // In the field list F4 opens its list, as in any combo box: the key is
    // the list's, not the dialog's shortcut for adding a condition.
    if (event->type() == QEvent::ShortcutOverride && fieldList &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_F4) {
        event->accept();
        return true;
    }
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    int key = keyEvent->key();
    if (watched == Edit1) {
        Edit1KeyDown(Edit1, key, keyEvent->modifiers());
        return key == 0;
    }
    if (fieldList) {
        ComboBox1KeyDown(ComboBox1, key, keyEvent->modifiers());
        return key == 0;
    }
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) &&
        (watched == SpeedButton4 || watched == BTCMDOK || watched == BDCMDNOT)) {
        static_cast<QPushButton*>(watched)->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// ---- the caller's reading -------------------------------------------------------

QString TFrmgetdata::GetSearchSql() const
{
    return SqlLines ? LinesWithCrLf(*SqlLines) : QString();
}
