#pragma once

#include <QString>

// A client library loaded by file name (a bare name is looked up as the
// dynamic linker does). Libraries stay loaded for the life of the process.
class VendorLibrary
{
public:
    // Fails with "Unable to Load %s" (the name as given).
    static void* Open(const QString& fileName);
    // Fails with "Unable to Find Procedure %s".
    static void* Resolve(void* library, const QString& procedure);
};
