#include "TMessageService.h"

#include "TApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <utility>

namespace
{
struct ButtonInfo {
    TMsgDlgBtn Button;
    QMessageBox::StandardButton Standard;
    int Result;
};

const ButtonInfo Buttons[] = {
    {TMsgDlgBtn::mbYes, QMessageBox::Yes, mrYes},
    {TMsgDlgBtn::mbNo, QMessageBox::No, mrNo},
    {TMsgDlgBtn::mbOK, QMessageBox::Ok, mrOk},
    {TMsgDlgBtn::mbCancel, QMessageBox::Cancel, mrCancel},
    {TMsgDlgBtn::mbAbort, QMessageBox::Abort, mrAbort},
    {TMsgDlgBtn::mbRetry, QMessageBox::Retry, mrRetry},
    {TMsgDlgBtn::mbIgnore, QMessageBox::Ignore, mrIgnore},
    {TMsgDlgBtn::mbAll, QMessageBox::YesAll, mrAll},
    {TMsgDlgBtn::mbNoToAll, QMessageBox::NoToAll, mrNoToAll},
    {TMsgDlgBtn::mbYesToAll, QMessageBox::YesToAll, mrYesToAll},
    {TMsgDlgBtn::mbHelp, QMessageBox::Help, mrNone},
};

class WidgetMessages : public TMessageService
{
public:
    void ShowError(const QString& caption, const QString& text) override
    {
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }

    void ShowMessage(const QString& text) override
    {
        QMessageBox box(QMessageBox::NoIcon, Application()->Title(), text, QMessageBox::Ok,
                        QApplication::activeWindow());
        box.exec();
    }

    int MessageDlg(const QString& text, TMsgDlgType type, TMsgDlgButtons buttons,
                   int helpCtx) override
    {
        static const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                                  QMessageBox::Information, QMessageBox::Question,
                                                  QMessageBox::NoIcon};
        static const char* captions[] = {"Warning", "Error", "Information", "Confirm", ""};
        const int kind = static_cast<int>(type);
        QString caption = QString::fromLatin1(captions[kind]);
        if (caption.isEmpty()) caption = Application()->Title();
        QMessageBox::StandardButtons standard;
        for (const ButtonInfo& info : Buttons)
            if (buttons.Contains(info.Button)) standard |= info.Standard;
        QMessageBox box(icons[kind], caption, text, standard, QApplication::activeWindow());
        const int pressed = box.exec();
        for (const ButtonInfo& info : Buttons)
            if (pressed == info.Standard) return info.Result;
        return mrCancel;
    }
};

TMessageService* Installed = nullptr;
} // namespace

TMessageService& Messages()
{
    static WidgetMessages real;
    return Installed ? *Installed : real;
}

TMessageService* SetMessageService(TMessageService* service)
{
    return std::exchange(Installed, service);
}
