#include "TApplication.h"

#include "Exceptions.h"
#include "TMessageService.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cxxabi.h>
#include <dlfcn.h>
#include <memory>
#include <typeinfo>

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
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (...) {
    }
    Messages().ShowError(FTitle, ErrorBoxText(ExceptionMessage(error)));
}

QString TApplication::ExceptionMessage(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

QString TApplication::StartupErrorText(const QString& className, const QString& module,
                                       quintptr address, const QString& message)
{
    const QString stop =
        message.isEmpty() || message.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".");
    return QStringLiteral("Exception %1 in module %2 at %3.\r\n%4%5\r\n")
        .arg(className, module,
             QStringLiteral("%1").arg(address, 8, 16, QLatin1Char('0')).toUpper(), message, stop);
}

namespace
{
QString DemangledName(const std::type_info& type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : type.name());
}
} // namespace

void TApplication::ShowStartupException(std::exception_ptr error, const void* codeAddress)
{
    QString className = QStringLiteral("Exception");
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        className = e.ClassName();
        message = e.Message();
    } catch (const std::exception& e) {
        className = DemangledName(typeid(e));
        message = QString::fromLocal8Bit(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    QString module;
    quintptr address = quintptr(codeAddress);
    Dl_info info{};
    if (dladdr(codeAddress, &info) != 0) {
        module = QFileInfo(QString::fromLocal8Bit(info.dli_fname)).fileName();
        address -= quintptr(info.dli_fbase);
    }
    // The program itself may be reported without a file name.
    if (module.isEmpty()) module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    Messages().ShowError(QStringLiteral("Application Error"),
                         StartupErrorText(className, module, address, message));
}
