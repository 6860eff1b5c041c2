#pragma once

#include <QWidget>
#include <functional>
#include <memory>

class TApplication;

// How the process was asked to show its main window. Linux launchers have no
// such setting, so it comes from the environment variable
// MASSAMEND_SHOW_STATE: "maximized" or "minimized" (a shortcut set to run
// minimised, which does not activate the window); anything else is normal.
enum class TShowState { ssNormal, ssMaximized, ssMinimized };

// The start-up of the program, in order: the application's title from the
// program file, the main window, one hidden query dialog, then the message
// loop until the main window is closed or a termination signal arrives. The
// main window opens the database as it is created; any exception on the way
// ends start-up with the "Application Error" box.
class TStartup
{
public:
    using TCreateMainForm = std::function<std::unique_ptr<QWidget>()>;

    static TShowState ShowStateFromEnvironment();
    static void ShowMainForm(QWidget& form, TShowState state);

    // Returns the exit code: 1 after a start-up failure, 0 once the main
    // window has been closed; the window is destroyed before it returns.
    static int Run(TApplication& application, const TCreateMainForm& createMainForm,
                   TShowState state);
};
