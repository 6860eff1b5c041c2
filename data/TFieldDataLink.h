#pragma once

#include "TDataLink.h"

#include <QPointer>
#include <QString>
#include <functional>

class QObject;

// Follows one field of a data source for one control. The field is resolved
// when the link becomes active, when the layout changes and when the name is
// set; a name the dataset lacks fails with "<control>: Field '%s' not found".
// OnDataChange is raised when the resolved field changes, when the current
// row or the data changes, and when the value of its own field changes.
class TFieldDataLink : public TDataLink
{
public:
    TFieldDataLink() = default;

    QString FieldName() const { return FFieldName; }
    void SetFieldName(const QString& name);
    TField* Field() const { return FField; }
    QObject* Control() const { return FControl; }
    void SetControl(QObject* control) { FControl = control; }
    // Not read-only, and the field can be modified.
    bool CanModify() const;

    std::function<void()> OnDataChange;
    std::function<void()> OnEditingChange;
    std::function<void()> OnUpdateData;
    std::function<void()> OnActiveChange;

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void RecordChanged(TField* field) override;
    void UpdateData() override;

private:
    void UpdateField();
    void SetField(TField* field);

    QString FFieldName;
    TField* FField = nullptr;
    QPointer<QObject> FControl;
};
