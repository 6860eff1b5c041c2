#pragma once

#include "TDataLink.h"
#include "TMessageService.h"
#include "TSet.h"

#include <QString>
#include <QStringView>
#include <array>
#include <functional>

class QObject;

// What every data-aware button shares: its kinds, hint languages, disable
// reasons, events, default tables and the data link it follows a data source
// with.

enum class TDBButtonType {
    nbCustom,
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbAppend,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};
inline constexpr int DBButtonTypeCount = 12;

enum class TDBButtonLanguage { blUSEnglish, blHebrew, blPortugues, blGerman, blSpanish };
inline constexpr int DBButtonLanguageCount = 5;

// Each holds for a button whose link is active when: BOF is set; EOF is set;
// the dataset can't be modified; the link is not editing; it is editing; both
// BOF and EOF are set.
enum class TDBBDisableReason { drBOF, drEOF, drReadonly, drNotEditing, drEditing, drEmpty };
using TDBBDisableReasons = TSet<TDBBDisableReason>;

// Sender is the button; the reference parameters let a handler steer it.
using TGetQuestionEvent =
    std::function<void(QObject* Sender, QString& Question, TMsgDlgButtons& Buttons, int& HelpCtx)>;
using TBeforeActionEvent = std::function<void(QObject* Sender, bool& ActionIsDone)>;
using TAfterActionEvent = std::function<void(QObject* Sender, bool& Error)>;

// Per kind: suffix of the default component name, stem of the picture
// resource ("dbn_" + stem) and whether holding the button repeats its action.
inline constexpr std::array<QStringView, DBButtonTypeCount> DBButtonNameSuffixes{
    u"",       u"First",  u"Prior", u"Next", u"Last",   u"New",
    u"Append", u"Delete", u"Edit",  u"Save", u"Cancel", u"Refresh"};

inline constexpr std::array<QStringView, DBButtonTypeCount> DBButtonGlyphNames{
    u"",       u"FIRST",  u"PRIOR", u"NEXT", u"LAST",   u"INSERT",
    u"INSERT", u"DELETE", u"EDIT",  u"POST", u"CANCEL", u"REFRESH"};

inline constexpr std::array<bool, DBButtonTypeCount> DBButtonRepeats{
    false, false, true, true, false, false, false, false, false, false, false, false};

// Default hints, by language and then by kind; at most 15 characters each.
extern const std::array<std::array<QStringView, DBButtonTypeCount>, DBButtonLanguageCount>
    DBButtonHints;

inline QStringView DBButtonHint(TDBButtonLanguage language, TDBButtonType type)
{
    return DBButtonHints[static_cast<int>(language)][static_cast<int>(type)];
}

// The language new buttons start with: the last one given to any button.
extern TDBButtonLanguage DefaultButtonLanguage;

// True when Hint is one of the language's default hints, the empty one
// included; exact and case-sensitive.
bool IsDefaultHint(const QString& Hint, TDBButtonLanguage Language);

// A data link that hands three of its notifications to its owner.
class TDBBtnDataLink : public TDataLink
{
public:
    std::function<void()> OnEditingChanged;
    std::function<void()> OnDataSetChanged;
    std::function<void()> OnActiveChanged;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void EditingChanged() override;
};
