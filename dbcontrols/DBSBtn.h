#pragma once

#include "DBBtnCmn.h"
#include "TMenuItem.h"
#include "TSpeedButton.h"
#include "TTimer.h"

#include <QPointer>
#include <memory>

class TDataSource;

// The data layer's question before a row is deleted.
inline const QString SDeleteRecordQuestion = QStringLiteral("删除当前记录吗?");

// A picture button that performs one dataset action on its data source and
// enables itself from the dataset's state.
//
// Enabling: while RuntimeEnabled() holds, the button is enabled exactly when
// its link is active and none of the reasons that hold is in
// DisableReasons(). A program that sets Enabled false switches this off, and
// setting it true switches it on again. A change of DataButtonType takes the
// kind's default reasons but keeps the state shown until the data link's next
// notification.
//
// A click runs OnClick, the question (ConfirmAction), OnBeforeAction, the
// action, then OnAfterAction with Error; a failure propagates unless the
// after-action handler clears Error.
//
// Holding a repeating kind (previous, next) clicks again after 400 ms and then
// every 100 ms, pausing while the pointer is off the pressed button.
class TCustomDBSpeedButton : public TSpeedButton
{
public:
    explicit TCustomDBSpeedButton(QWidget* owner = nullptr);
    ~TCustomDBSpeedButton() override;

    TDBBDisableReasons DisableReasons() const { return FDisableReasons; }
    void SetDisableReasons(TDBBDisableReasons reasons);
    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* source);
    TMenuItem* MenuItem() const { return FMenuItem; }
    // Takes over the item's click handler and gives the previous item its
    // own back; the item's enabled flag follows the button's.
    void SetMenuItem(TMenuItem* item);
    bool ConfirmDelete() const { return FConfirmDelete; }
    void SetConfirmDelete(bool confirm) { FConfirmDelete = confirm; }
    bool RuntimeEnabled() const { return FRuntimeEnabled; }
    TDBButtonType DataButtonType() const { return FDataButtonType; }
    void SetDataButtonType(TDBButtonType type);
    TDBButtonLanguage Language() const { return FLanguage; }
    void SetLanguage(TDBButtonLanguage language);
    bool GlyphCustomized() const { return FGlyphCustomized; }
    bool UpdatingEnabled() const { return FUpdatingEnabled; }
    // Exists only while a repeating button is held.
    TTimer* RepeatTimer() const { return FRepeatTimer; }

    TBeforeActionEvent OnBeforeAction;
    TGetQuestionEvent OnGetQuestion;
    // Raised when the automatic enabling changed Enabled.
    TNotifyEvent OnEnabledChanged;
    TAfterActionEvent OnAfterAction;

    void Click() override;
    virtual QString GetNamePrefix() const { return QStringLiteral("dbSBtn"); }
    virtual void GetQuestion(QString& Question, TMsgDlgButtons& Buttons, int& HelpCtx);
    virtual bool ConfirmAction();
    virtual void UpdateEnabled();
    virtual void DoBeforeAction(bool& ActionIsDone);
    virtual void DoAction();

    // The kind's standard picture from the program's resources; failures
    // leave the picture empty.
    void LoadDefaultGlyph();
    void SetDefaultDisableReasons();

protected:
    void EnabledChanged() override;
    void Loaded() override;
    // A standard picture is reloaded, never stored.
    bool GlyphStored() const override;
    void DefineProperties(TStoredProperties& stored) const override;
    bool ReadProperty(const TStoredProperty& property, const TComponentResolver& resolve) override;
    // The timer of a held button; a test hands in one it drives itself.
    virtual TTimer* CreateRepeatTimer();

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void PerformAction(TDataSet& dataSet);
    void GlyphChangedHook();
    void MenuItemClick(QObject* Sender);
    void RepeatTimerExpired();
    void FollowRepeatTimer();
    void DestroyRepeatTimer();

    TDBBDisableReasons FDisableReasons;
    std::unique_ptr<TDBBtnDataLink> FDataLink;
    QPointer<TMenuItem> FMenuItem;
    QMetaObject::Connection FMenuItemDestroyed;
    TNotifyEvent FSavedMenuClick;
    bool FConfirmDelete = true;
    bool FRuntimeEnabled = true;
    TDBButtonType FDataButtonType = TDBButtonType::nbCustom;
    TDBButtonLanguage FLanguage;
    std::function<void()> FSavedGlyphChange;
    TTimer* FRepeatTimer = nullptr;
    bool FGlyphCustomized = false;
    bool FUpdatingEnabled = false;
    bool FDestroying = false;
};

// The data-aware button as forms use it: it stores and reads its published
// properties.
class TDBSpeedButton : public TCustomDBSpeedButton
{
public:
    using TCustomDBSpeedButton::TCustomDBSpeedButton;

protected:
    void WriteProperties(TStoredProperties& stored) const override;
    bool ReadProperty(const TStoredProperty& property, const TComponentResolver& resolve) override;
};
