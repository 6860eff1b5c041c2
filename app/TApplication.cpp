#include "TApplication.h"

#include "Exceptions.h"
#include "TMessageService.h"

#include <QFileInfo>
#include <memory>

namespace {
TApplication* Current = nullptr;
} // namespace

TApplication::TApplication() { Current = this; }

TApplication::~TApplication()
{
    if (Current == this)
        Current = nullptr;
}

TApplication* Application()
{
    if (!Current) {
        static std::unique_ptr<TApplication> fallback;
        fallback = std::make_unique<TApplication>();
    }
    return Current;
}

QString TApplication::TitleFromFileName(const QString& fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const QString stem = name.section(QLatin1Char('.'), 0, 0);
    if (stem.isEmpty())
        return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

void TApplication::HandleException(std::exception_ptr error)
{
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (const Exception& e) {
        message = e.Message();
    } catch (const std::exception& e) {
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    Messages().ShowError(FTitle, ErrorBoxText(message));
}
