#include "GridPictures.h"

// Resources of a static library are registered by hand, outside any namespace.
static void InitGridResources()
{
    Q_INIT_RESOURCE(grid);
}

QImage TGridPictures::SelectGridBackground()
{
    static const bool initialised = (InitGridResources(), true);
    Q_UNUSED(initialised);
    return QImage(QStringLiteral(":/grid/SelectGridBackground.png"));
}
