#include "TStartup.h"

#include "Getdata.h"
#include "TApplication.h"
#include "TTerminationSignals.h"

#include <QApplication>

namespace
{
// Kept out of line so that its address names the start-up code in the box.
Q_NEVER_INLINE std::unique_ptr<QWidget> CreateMainForm(const TStartup::TCreateMainForm& create)
{
    return create();
}
} // namespace

TShowState TStartup::ShowStateFromEnvironment()
{
    const QString state = qEnvironmentVariable("MASSAMEND_SHOW_STATE").trimmed().toLower();
    if (state == QLatin1String("maximized")) return TShowState::ssMaximized;
    if (state == QLatin1String("minimized")) return TShowState::ssMinimized;
    return TShowState::ssNormal;
}

void TStartup::ShowMainForm(QWidget& form, TShowState state)
{
    switch (state) {
    case TShowState::ssMaximized:
        form.showMaximized();
        break;
    case TShowState::ssMinimized:
        form.setAttribute(Qt::WA_ShowWithoutActivating);
        form.showMinimized();
        break;
    case TShowState::ssNormal:
        form.show();
        break;
    }
}

int TStartup::Run(TApplication& application, const TCreateMainForm& createMainForm,
                  TShowState state)
{
    // From the start: a signal while the window is made ends the program
    // once it is made, never in the middle of it.
    const TTerminationSignals terminationSignals;
    application.SetTitle(TApplication::TitleFromFileName(QCoreApplication::applicationFilePath()));
    std::unique_ptr<QWidget> form;
    try {
        form = CreateMainForm(createMainForm);
        // Never shown: each selection makes a dialog of its own; this one
        // lives on hidden until the process ends.
        CreateDialog();
    } catch (...) {
        // Asked to end: nobody is left to read the box.
        if (terminationSignals.Pending()) return 0;
        application.ShowStartupException(std::current_exception(),
                                         reinterpret_cast<const void*>(&CreateMainForm));
        return 1;
    }
    if (!application.MainForm()) application.SetMainForm(form.get());
    if (!terminationSignals.Pending()) {
        ShowMainForm(*form, state);
        QApplication::exec();
    }
    application.SetMainForm(nullptr);
    return 0;
}
