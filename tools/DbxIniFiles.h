#pragma once

#include "DbOptions.h"

#include <QList>
#include <QPair>
#include <QString>

// The connections file and drivers file that go with a database.
class TDbxIniFiles
{
public:
    static QString ConnectionsFileName() { return QStringLiteral("dbxconnections.ini"); }
    static QString DriversFileName() { return QStringLiteral("dbxdrivers.ini"); }
    static QString ConnectionName() { return QStringLiteral("Tallon"); }
    static QString DriverName(TDbBackend backend);

    // Keys of the connection's section, in the order the connection declares them.
    static QList<QPair<QString, QString>> ConnectionParams(const TDbOptions& options);

    // Writes both files into dir, replacing what was there.
    static void Write(const QString& dir, const TDbOptions& options);
};
