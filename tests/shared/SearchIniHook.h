#pragma once

#include "Getdata.h"

// The dialog's private hook: Search.ini in a folder of the test's own, so no
// test writes the one beside the test programs. An empty path restores it.
struct TFrmgetdataTestHook {
    static void SetSearchIniPath(const QString& path)
    {
        TFrmgetdata::FSearchIniPathOverride = path;
    }
    // The statement of the listed conditions, as a search composes it, without
    // running it.
    static QString ComposedStatement(TFrmgetdata& dialog)
    {
        dialog.ComposeStatement();
        return dialog.GetSearchSql();
    }
};
