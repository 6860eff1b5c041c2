#include "VendorLibrary.h"

#include "Exceptions.h"

#include <QFile>
#include <dlfcn.h>

void* VendorLibrary::Open(const QString& fileName)
{
    void* handle =
        fileName.isEmpty() ? nullptr : dlopen(QFile::encodeName(fileName).constData(), RTLD_NOW);
    if (!handle) throw EDatabaseError(QStringLiteral("Unable to Load %1").arg(fileName));
    return handle;
}

void* VendorLibrary::Resolve(void* library, const QString& procedure)
{
    void* symbol = procedure.isEmpty() ? nullptr : dlsym(library, procedure.toLatin1().constData());
    if (!symbol) throw EDatabaseError(QStringLiteral("Unable to Find Procedure %1").arg(procedure));
    return symbol;
}
