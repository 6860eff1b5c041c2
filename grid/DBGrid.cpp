#include "DBGrid.h"

TDBGrid::TDBGrid(QWidget* parent) : TCustomDBGrid(parent) {}
