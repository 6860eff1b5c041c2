#include "DBSBtn.h"

#include "DRefresh.h"
#include "TApplication.h"
#include "TDataSource.h"

#include <QFile>
#include <QMouseEvent>

// Outside any namespace, as Qt wants: the pictures live in this static library.
static void InitDBButtonPictures()
{
    Q_INIT_RESOURCE(dbbuttons);
}

TCustomDBSpeedButton::TCustomDBSpeedButton(QWidget* owner)
    : TSpeedButton(owner), FDataLink(std::make_unique<TDBBtnDataLink>()),
      FLanguage(DefaultButtonLanguage)
{
    FDataLink->OnActiveChanged = [this] { UpdateEnabled(); };
    FDataLink->OnDataSetChanged = [this] { UpdateEnabled(); };
    FDataLink->OnEditingChanged = [this] { UpdateEnabled(); };
    FSavedGlyphChange = OnGlyphChange;
    OnGlyphChange = [this] { GlyphChangedHook(); };
}

TCustomDBSpeedButton::~TCustomDBSpeedButton()
{
    FDestroying = true;
    delete FRepeatTimer;
    FDataLink.reset();
    SetMenuItem(nullptr);
}

// ---- properties ---------------------------------------------------------

void TCustomDBSpeedButton::SetDisableReasons(TDBBDisableReasons reasons)
{
    if (reasons == FDisableReasons) return;
    FDisableReasons = reasons;
    // Showing a state computed for other reasons until the data next moves
    // would offer (or refuse) the wrong action.
    if (!Loading()) UpdateEnabled();
}

TDataSource* TCustomDBSpeedButton::DataSource() const
{
    return FDataLink->DataSource();
}

void TCustomDBSpeedButton::SetDataSource(TDataSource* source)
{
    // The data source detaches every link when it is destroyed.
    FDataLink->SetDataSource(source);
    if (!Loading()) UpdateEnabled();
}

void TCustomDBSpeedButton::SetMenuItem(TMenuItem* item)
{
    if (item == FMenuItem) return;
    if (FMenuItem) {
        disconnect(FMenuItemDestroyed);
        FMenuItem->OnClick = FSavedMenuClick;
    }
    FMenuItem = item;
    FSavedMenuClick = nullptr;
    if (!item) return;
    FSavedMenuClick = item->OnClick;
    item->OnClick = [this](QObject* Sender) { MenuItemClick(Sender); };
    // An item going away takes its handler with it: nothing to give back.
    FMenuItemDestroyed = connect(item, &QObject::destroyed, this, [this] {
        FMenuItem = nullptr;
        FSavedMenuClick = nullptr;
    });
    item->setEnabled(Enabled());
}

void TCustomDBSpeedButton::MenuItemClick(QObject* Sender)
{
    const TNotifyEvent saved = FSavedMenuClick;
    Click();
    if (saved) saved(Sender);
}

void TCustomDBSpeedButton::SetDataButtonType(TDBButtonType type)
{
    if (type == FDataButtonType) return;
    if (Loading()) {
        // The stored DisableReasons follow in the form and replace these.
        FDataButtonType = type;
        SetDefaultDisableReasons();
        return;
    }
    SetEnabled(true);
    if (type == TDBButtonType::nbCustom)
        FGlyphCustomized = true;
    else if (Hint().isEmpty() || IsDefaultHint(Hint(), FLanguage))
        SetHint(DBButtonHint(FLanguage, type).toString());
    // Each change passes through EnabledChanged, so RuntimeEnabled ends true.
    SetEnabled(false);
    SetEnabled(true);
    FDataButtonType = type;
    LoadDefaultGlyph();
    SetDefaultDisableReasons();
}

void TCustomDBSpeedButton::SetLanguage(TDBButtonLanguage language)
{
    if (language == FLanguage) return;
    if (FDataButtonType != TDBButtonType::nbCustom &&
        (Hint().isEmpty() || IsDefaultHint(Hint(), FLanguage)))
        SetHint(DBButtonHint(language, FDataButtonType).toString());
    FLanguage = language;
    DefaultButtonLanguage = language;
}

void TCustomDBSpeedButton::SetDefaultDisableReasons()
{
    // Not through SetDisableReasons: a change of kind leaves the enabled state
    // to the data link's next notification.
    using enum TDBBDisableReason;
    switch (FDataButtonType) {
    case TDBButtonType::nbFirst:
    case TDBButtonType::nbPrior:
        FDisableReasons = {drBOF, drEditing, drEmpty};
        break;
    case TDBButtonType::nbNext:
    case TDBButtonType::nbLast:
        FDisableReasons = {drEOF, drEditing, drEmpty};
        break;
    case TDBButtonType::nbInsert:
    case TDBButtonType::nbAppend:
        FDisableReasons = {drReadonly, drEditing};
        break;
    case TDBButtonType::nbDelete:
    case TDBButtonType::nbEdit:
        FDisableReasons = {drReadonly, drEditing, drEmpty};
        break;
    case TDBButtonType::nbPost:
    case TDBButtonType::nbCancel:
        FDisableReasons = {drNotEditing};
        break;
    case TDBButtonType::nbRefresh:
        FDisableReasons = {drEditing};
        break;
    case TDBButtonType::nbCustom:
        break;
    }
}

// ---- enabling -----------------------------------------------------------

void TCustomDBSpeedButton::UpdateEnabled()
{
    if (FDestroying || !FRuntimeEnabled) return;
    FUpdatingEnabled = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FUpdatingEnabled};

    const bool wasEnabled = Enabled();
    bool enabled = false;
    if (FDataLink->Active()) {
        using enum TDBBDisableReason;
        const TDataSet* dataSet = FDataLink->DataSet();
        TDBBDisableReasons reasons;
        if (dataSet->Bof()) reasons.Include(drBOF);
        if (dataSet->Eof()) reasons.Include(drEOF);
        if (!dataSet->CanModify()) reasons.Include(drReadonly);
        if (dataSet->Bof() && dataSet->Eof()) reasons.Include(drEmpty);
        reasons.Include(FDataLink->Editing() ? drEditing : drNotEditing);
        enabled = (reasons * FDisableReasons).Empty();
    }
    SetEnabled(enabled);
    if (FMenuItem) FMenuItem->setEnabled(Enabled());
    if (Enabled() != wasEnabled && OnEnabledChanged) OnEnabledChanged(this);
}

void TCustomDBSpeedButton::EnabledChanged()
{
    TSpeedButton::EnabledChanged();
    // A disabled button gets no mouse release: a held one would go on
    // repeating.
    if (!Enabled()) DestroyRepeatTimer();
    if (FUpdatingEnabled || Loading() || FDestroying) return;
    FRuntimeEnabled = Enabled();
    UpdateEnabled();
}

// ---- clicking -----------------------------------------------------------

void TCustomDBSpeedButton::Click()
{
    TSpeedButton::Click();
    DoAction();
}

void TCustomDBSpeedButton::GetQuestion(QString& Question, TMsgDlgButtons& Buttons, int& HelpCtx)
{
    Question = FDataButtonType == TDBButtonType::nbDelete && FConfirmDelete ? SDeleteRecordQuestion
                                                                            : QString();
    Buttons = {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel};
    HelpCtx = 0;
    if (OnGetQuestion) OnGetQuestion(this, Question, Buttons, HelpCtx);
}

bool TCustomDBSpeedButton::ConfirmAction()
{
    QString question;
    TMsgDlgButtons buttons;
    int helpCtx = 0;
    GetQuestion(question, buttons, helpCtx);
    if (question.isEmpty()) return true;
    const int answer =
        Messages().MessageDlg(question, TMsgDlgType::mtConfirmation, buttons, helpCtx);
    return answer == mrOk || answer == mrYes;
}

void TCustomDBSpeedButton::DoBeforeAction(bool& ActionIsDone)
{
    if (OnBeforeAction) OnBeforeAction(this, ActionIsDone);
}

void TCustomDBSpeedButton::DoAction()
{
    if (!ConfirmAction()) return;
    bool ActionIsDone = FDataButtonType == TDBButtonType::nbCustom;
    bool Error = false;
    try {
        DoBeforeAction(ActionIsDone);
        TDataSource* source = DataSource();
        if (!ActionIsDone && source && source->State() != TDataSetState::dsInactive)
            PerformAction(*source->DataSet());
    } catch (...) {
        if (!OnAfterAction) throw;
        Error = true;
        OnAfterAction(this, Error);
        if (Error) throw;
        return;
    }
    if (OnAfterAction) OnAfterAction(this, Error);
}

void TCustomDBSpeedButton::PerformAction(TDataSet& dataSet)
{
    switch (FDataButtonType) {
    case TDBButtonType::nbCustom:
        break;
    case TDBButtonType::nbFirst:
        dataSet.First();
        break;
    case TDBButtonType::nbPrior:
        dataSet.Prior();
        break;
    case TDBButtonType::nbNext:
        dataSet.Next();
        break;
    case TDBButtonType::nbLast:
        dataSet.Last();
        break;
    case TDBButtonType::nbInsert:
        dataSet.Insert();
        break;
    case TDBButtonType::nbAppend:
        dataSet.Append();
        break;
    case TDBButtonType::nbDelete:
        dataSet.Delete();
        break;
    case TDBButtonType::nbEdit:
        dataSet.Edit();
        break;
    case TDBButtonType::nbPost:
        dataSet.Post();
        break;
    case TDBButtonType::nbCancel:
        dataSet.Cancel();
        break;
    case TDBButtonType::nbRefresh:
        RefreshDataSet(&dataSet);
        break;
    }
}

// ---- picture ------------------------------------------------------------

void TCustomDBSpeedButton::LoadDefaultGlyph()
{
    if (FDataButtonType == TDBButtonType::nbCustom) return;
    try {
        static const bool initialised = (InitDBButtonPictures(), true);
        Q_UNUSED(initialised);
        const QString name =
            QStringLiteral("dbn_") + DBButtonGlyphNames[int(FDataButtonType)].toString();
        // Resource names match whatever their case.
        QImage glyph(QStringLiteral(":/dbbuttons/%1.png").arg(name.toUpper()));
        SetGlyph(glyph);
        SetNumGlyphs(2);
    } catch (...) {
        // A button without its standard picture still works.
    }
    FGlyphCustomized = false;
}

void TCustomDBSpeedButton::GlyphChangedHook()
{
    FGlyphCustomized = true;
    if (FSavedGlyphChange) FSavedGlyphChange();
}

bool TCustomDBSpeedButton::GlyphStored() const
{
    return FDataButtonType == TDBButtonType::nbCustom || FGlyphCustomized;
}

// ---- stored form --------------------------------------------------------

void TCustomDBSpeedButton::DefineProperties(TStoredProperties& stored) const
{
    TSpeedButton::DefineProperties(stored);
    stored.WriteBoolean(QStringLiteral("RuntimeEnabled"), FRuntimeEnabled);
}

bool TCustomDBSpeedButton::ReadProperty(const TStoredProperty& property,
                                        const TComponentResolver& resolve)
{
    if (property.Name == QLatin1String("RuntimeEnabled")) {
        FRuntimeEnabled = TStoredProperties::ReadBoolean(property.Value);
        return true;
    }
    return TSpeedButton::ReadProperty(property, resolve);
}

void TCustomDBSpeedButton::Loaded()
{
    TSpeedButton::Loaded();
    if (Glyph().isNull()) LoadDefaultGlyph();
    SetEnabled(FRuntimeEnabled);
    UpdateEnabled();
}

// ---- repeating ----------------------------------------------------------

TTimer* TCustomDBSpeedButton::CreateRepeatTimer()
{
    return new TTimer(this);
}

void TCustomDBSpeedButton::mousePressEvent(QMouseEvent* event)
{
    Application()->Guard([&] {
        TSpeedButton::mousePressEvent(event);
        if (event->button() != Qt::LeftButton || FRepeatTimer ||
            !DBButtonRepeats[int(FDataButtonType)])
            return;
        FRepeatTimer = CreateRepeatTimer();
        FRepeatTimer->OnTimer = [this] { RepeatTimerExpired(); };
        FRepeatTimer->SetInterval(400);
        FRepeatTimer->SetEnabled(true);
    });
}

void TCustomDBSpeedButton::mouseMoveEvent(QMouseEvent* event)
{
    Application()->Guard([&] {
        TSpeedButton::mouseMoveEvent(event);
        FollowRepeatTimer();
    });
}

void TCustomDBSpeedButton::mouseReleaseEvent(QMouseEvent* event)
{
    Application()->Guard([&] {
        TSpeedButton::mouseReleaseEvent(event);
        DestroyRepeatTimer();
    });
}

void TCustomDBSpeedButton::paintEvent(QPaintEvent* event)
{
    Application()->Guard([&] {
        FollowRepeatTimer();
        TSpeedButton::paintEvent(event);
    });
}

void TCustomDBSpeedButton::FollowRepeatTimer()
{
    // Ticks only while the held button is drawn pressed, that is while the
    // pointer is over it.
    if (FRepeatTimer) FRepeatTimer->SetEnabled(isDown());
}

void TCustomDBSpeedButton::RepeatTimerExpired()
{
    if (!FRepeatTimer) return;
    try {
        FRepeatTimer->SetInterval(100);
        Click();
    } catch (...) {
        DestroyRepeatTimer();
        throw;
    }
}

void TCustomDBSpeedButton::DestroyRepeatTimer()
{
    if (!FRepeatTimer) return;
    TTimer* timer = FRepeatTimer;
    FRepeatTimer = nullptr;
    timer->SetEnabled(false);
    // This may run inside the timer's own tick.
    timer->deleteLater();
}
