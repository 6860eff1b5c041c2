#pragma once

#include <QString>
#include <exception>
#include <utility>

class QWidget;

// The application object: its title and the box that shows an exception
// that ended an event handler. Every handler that Qt calls runs through
// Guard(), so that no exception crosses into Qt.
class TApplication
{
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    QString Title() const { return FTitle; }
    void SetTitle(const QString& title) { FTitle = title; }
    // The title of a program file: its name up to the first dot, the first
    // character as it is and the rest in lower case ("MassAmend.exe" ->
    // "Massamend").
    static QString TitleFromFileName(const QString& fileName);

    QWidget* MainForm() const { return FMainForm; }
    void SetMainForm(QWidget* form) { FMainForm = form; }

    // Shows the exception's message in an error box captioned with the
    // title, "." appended by the usual rule; EAbort shows nothing.
    void HandleException(std::exception_ptr error);
    // The exception's own message: an Exception's Message(), a standard
    // exception's what(), "Unknown error" for anything else.
    static QString ExceptionMessage(std::exception_ptr error);

    // The text of the box of an exception that ended start-up: "Exception
    // %s in module %s at %p.\r\n%s%s\r\n" with the class name, the module,
    // the code location in it, the message and "." unless the message is
    // empty or ends in one.
    static QString StartupErrorText(const QString& className, const QString& module,
                                    quintptr address, const QString& message);
    // Shows that box, captioned "Application Error"; codeAddress is the code
    // that failed, which names the module and the location in it.
    void ShowStartupException(std::exception_ptr error, const void* codeAddress);

    template <typename F>
    void Guard(F&& handler)
    {
        try {
            std::forward<F>(handler)();
        } catch (...) {
            HandleException(std::current_exception());
        }
    }

private:
    QString FTitle;
    QWidget* FMainForm = nullptr;
};

// The application object of the process: the one start-up made, or a
// default one for code that runs without it (tests).
TApplication* Application();
