#pragma once

#include "TSet.h"

#include <QString>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum class TMsgDlgBtn {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = TSet<TMsgDlgBtn>;

// What a box returns: the button pressed.
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10
};

// Every box the program shows goes through one service, so that tests can
// put a recorder with scripted answers in its place.
class TMessageService
{
public:
    virtual ~TMessageService() = default;

    // A box with the error icon and an OK button.
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    // A plain message with an OK button, captioned with the application title.
    virtual void ShowMessage(const QString& text) = 0;
    // A question or notice with the given buttons; returns a TModalResult.
    virtual int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                           int helpCtx) = 0;
};

// The service in use: the real boxes unless a test installed another.
TMessageService& Messages();
// Installs a service (null: back to the real boxes) and returns the one it
// replaces (null: the real boxes); the caller keeps ownership.
TMessageService* SetMessageService(TMessageService* service);
