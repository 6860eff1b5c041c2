#pragma once

#include <QGuiApplication>

// The busy cursor over every window while a long database call blocks the
// window thread; the previous cursor comes back when the scope ends, also
// when an error ends it.
class TWaitCursor
{
public:
    TWaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
