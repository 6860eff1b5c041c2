#pragma once

#include "CustomDBGrid.h"

// The plain data grid: TCustomDBGrid with its properties published.
class TDBGrid : public TCustomDBGrid
{
    Q_OBJECT

public:
    explicit TDBGrid(QWidget* parent = nullptr);

    using TCustomDBGrid::Color;
    using TCustomDBGrid::Columns;
    using TCustomDBGrid::DataSource;
    using TCustomDBGrid::DefaultDrawing;
    using TCustomDBGrid::Options;
    using TCustomDBGrid::ReadOnly;
    using TCustomDBGrid::SetColor;
    using TCustomDBGrid::SetDataSource;
    using TCustomDBGrid::SetDefaultDrawing;
    using TCustomDBGrid::SetOptions;
    using TCustomDBGrid::SetReadOnly;
    using TCustomDBGrid::SetTitleFont;
    using TCustomDBGrid::TitleFont;
};
