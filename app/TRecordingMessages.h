#pragma once

#include "TMessageService.h"

#include <QList>
#include <QStringList>

// A message service for tests: records every box and answers questions from
// a script (mrYes when the script is empty). Installs itself while it lives.
class TRecordingMessages : public TMessageService
{
public:
    struct Box {
        QString Kind; // "error", "message" or "dialog"
        QString Caption;
        QString Text;
        TMsgDlgType Type = TMsgDlgType::mtCustom;
        TMsgDlgButtons Buttons;
    };

    TRecordingMessages();
    ~TRecordingMessages() override;

    void ShowError(const QString& caption, const QString& text) override;
    void ShowMessage(const QString& text) override;
    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   int helpCtx) override;

    QList<Box> Boxes;
    QList<int> Answers;
    QStringList Texts() const;

private:
    TMessageService* FPrevious;
};
