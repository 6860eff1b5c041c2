#include "TFieldDataLink.h"

#include "Exceptions.h"
#include "TField.h"

void TFieldDataLink::SetFieldName(const QString& name)
{
    if (FFieldName == name)
        return;
    FFieldName = name;
    UpdateField();
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && FField && FField->CanModify(); }

void TFieldDataLink::UpdateField()
{
    TField* field = nullptr;
    if (Active() && !FFieldName.isEmpty()) {
        field = DataSet()->FindField(FFieldName);
        if (!field) {
            SetField(nullptr);
            const QString name = FControl ? FControl->objectName() : QString();
            const QString message = QStringLiteral("Field '%1' not found").arg(FFieldName);
            throw EDatabaseError(name.isEmpty() ? message : name + QStringLiteral(": ") + message);
        }
    }
    SetField(field);
}

void TFieldDataLink::SetField(TField* field)
{
    if (FField == field)
        return;
    FField = field;
    if (OnDataChange)
        OnDataChange();
}

void TFieldDataLink::ActiveChanged()
{
    UpdateField();
    if (OnActiveChange)
        OnActiveChange();
}

void TFieldDataLink::LayoutChanged() { UpdateField(); DataSetChanged(); }

void TFieldDataLink::DataSetChanged() { RecordChanged(nullptr); }

void TFieldDataLink::RecordChanged(TField* field)
{
    if ((field == nullptr || field == FField) && OnDataChange)
        OnDataChange();
}

void TFieldDataLink::EditingChanged()
{
    if (OnEditingChange)
        OnEditingChange();
}

void TFieldDataLink::UpdateData()
{
    if (OnUpdateData)
        OnUpdateData();
}
