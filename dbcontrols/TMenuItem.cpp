#include "TMenuItem.h"

#include "TApplication.h"

TMenuItem::TMenuItem(QObject* owner) : TMenuItem(QString(), owner) {}

TMenuItem::TMenuItem(const QString& caption, QObject* owner) : QAction(caption, owner)
{
    connect(this, &QAction::triggered, this, [this] { Application()->Guard([&] { Click(); }); });
}

void TMenuItem::Click()
{
    // A handler may unlink the item, which replaces OnClick while it runs.
    const TNotifyEvent handler = OnClick;
    if (handler) handler(this);
}
