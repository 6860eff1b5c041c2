#pragma once

#include <QString>

// What an installed program needs to open a demo database for one user
// without touching the program's folder: the database and its connections
// and drivers files in the user's data folder, and the per-user settings
// "Connection Registry File" and "Driver Registry File" naming those files.
// The settings are the ones the data layer reads (data/TSQLConnection.cpp):
// organisation "MassAmend", application "SQLDriver", user scope.
class TUserSetup
{
public:
    // ~/.local/share/MassAmend, or under $XDG_DATA_HOME.
    static QString DataFolder();
    // The demo database's default file there.
    static QString DemoDatabase(bool sqlite);
    // Points the per-user settings at the two files in iniDir; returns the
    // settings file written.
    static QString WriteSettings(const QString& iniDir);
};
