#include "GridDataLink.h"

#include "CustomDBGrid.h"

void TGridDataLink::ActiveChanged()
{
    if (FGrid) FGrid->LinkActive(Active());
}

void TGridDataLink::DataSetChanged()
{
    if (FGrid) FGrid->DataChanged();
}

void TGridDataLink::DataSetScrolled(int distance)
{
    if (FGrid) FGrid->Scroll(distance);
}

void TGridDataLink::EditingChanged()
{
    if (FGrid) FGrid->EditingChanged();
}

void TGridDataLink::LayoutChanged()
{
    if (FGrid) FGrid->LayoutChanged();
}

void TGridDataLink::RecordChanged(TField* field)
{
    if (FGrid) FGrid->RecordChanged(field);
}
