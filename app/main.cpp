#include "FrmMassAmend.h"
#include "TApplication.h"
#include "TStartup.h"
#include "TTerminationSignals.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    // First of all: making the application object alone takes a while.
    TTerminationSignals::Install();
    QApplication qtApplication(argc, argv);
    TApplication application;
    return TStartup::Run(
        application,
        [] {
            auto form = std::make_unique<TFormMassAmend>();
            FormMassAmend = form.get();
            return form;
        },
        TStartup::ShowStateFromEnvironment());
}
