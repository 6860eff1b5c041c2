#pragma once

#include <QImage>

// The pictures the grids carry as resources.
class TGridPictures
{
public:
    // The 16 by 16 cream picture that the query dialog's result grid
    // stretches under its rows.
    static QImage SelectGridBackground();
};
