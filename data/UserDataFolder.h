#pragma once

#include <QDir>
#include <QStandardPaths>
#include <QString>

// The user's own folder of the tool's files: the demo database made for the
// user, the write-back journal, and Search.ini when the program's folder is
// not the user's to write (an installed program). ~/.local/share/MassAmend,
// or under $XDG_DATA_HOME.
inline QString UserDataFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("MassAmend"));
}
