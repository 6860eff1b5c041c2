#include "TRecordingMessages.h"

TRecordingMessages::TRecordingMessages() : FPrevious(SetMessageService(this)) {}

TRecordingMessages::~TRecordingMessages()
{
    SetMessageService(FPrevious);
}

void TRecordingMessages::ShowError(const QString& caption, const QString& text)
{
    Boxes.append({QStringLiteral("error"), caption, text, TMsgDlgType::mtError, {}});
}

void TRecordingMessages::ShowMessage(const QString& text)
{
    Boxes.append({QStringLiteral("message"), QString(), text, TMsgDlgType::mtCustom, {}});
}

int TRecordingMessages::MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                                   int helpCtx)
{
    Boxes.append({QStringLiteral("dialog"), QString(), text, type, buttons});
    return Answers.isEmpty() ? mrYes : Answers.takeFirst();
}

QStringList TRecordingMessages::Texts() const
{
    QStringList texts;
    for (const Box& box : Boxes)
        texts << box.Text;
    return texts;
}
