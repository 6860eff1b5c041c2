#pragma once

#include "CustomSelectGrid.h"

// The multi-select grid with its properties published.
class TSelectGrid : public TCustomSelectGrid
{
    Q_OBJECT

public:
    explicit TSelectGrid(QWidget* parent = nullptr);

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

    using TCustomSelectGrid::BorderStyle;
    using TCustomSelectGrid::DisableThemesInTitle;
    using TCustomSelectGrid::HideAllLines;
    using TCustomSelectGrid::IndicatorIconColor;
    using TCustomSelectGrid::LineColors;
    using TCustomSelectGrid::LineStyle;
    using TCustomSelectGrid::Selected;
    using TCustomSelectGrid::SetBorderStyle;
    using TCustomSelectGrid::SetDisableThemesInTitle;
    using TCustomSelectGrid::SetHideAllLines;
    using TCustomSelectGrid::SetIndicatorIconColor;
    using TCustomSelectGrid::SetLineColors;
    using TCustomSelectGrid::SetLineStyle;
    using TCustomSelectGrid::SetSelected;
    using TCustomSelectGrid::SetShowHorzScrollBar;
    using TCustomSelectGrid::SetThemesInUse;
    using TCustomSelectGrid::SetTitleAlignment;
    using TCustomSelectGrid::SetTitleButtons;
    using TCustomSelectGrid::SetTitleColor;
    using TCustomSelectGrid::SetTitleLines;
    using TCustomSelectGrid::SetUseTFields;
    using TCustomSelectGrid::ShowHorzScrollBar;
    using TCustomSelectGrid::ThemesInUse;
    using TCustomSelectGrid::TitleAlignment;
    using TCustomSelectGrid::TitleButtons;
    using TCustomSelectGrid::TitleColor;
    using TCustomSelectGrid::TitleLines;
    using TCustomSelectGrid::UseTFields;
};
