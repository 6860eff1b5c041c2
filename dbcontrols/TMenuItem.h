#pragma once

#include "TNotifyEvent.h"

#include <QAction>

// A menu entry with one click handler, which a control may take over and
// give back (a data-aware button does).
class TMenuItem : public QAction
{
public:
    explicit TMenuItem(QObject* owner = nullptr);
    TMenuItem(const QString& caption, QObject* owner);

    TNotifyEvent OnClick;
    // Raises OnClick, as choosing the entry does.
    void Click();
};
