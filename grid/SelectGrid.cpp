#include "SelectGrid.h"

TSelectGrid::TSelectGrid(QWidget* parent) : TCustomSelectGrid(parent) {}
