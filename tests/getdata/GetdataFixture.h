#pragma once

#include "DBGrid.h"
#include "DBSBtn.h"
#include "DBSearch.h"
#include "Exceptions.h"
#include "Getdata.h"
#include "SearchIniHook.h"
#include "SelectGrid.h"
#include "TComboBox.h"
#include "TFloatField.h"
#include "TRadioGroup.h"
#include "TRecordingMessages.h"
#include "TSpeedButton.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <tuple>

// The rows of the condition table, each as
// "recid|SQL_WHERE|Col_Name|Col_DisplayName|SQL_GEN|SCH_VALUE".
inline QStringList ConditionRows(TClientDataSet& table)
{
    QStringList rows;
    if (!table.Active()) return rows;
    for (table.First(); !table.Eof(); table.Next()) {
        QStringList parts;
        for (const TField* field : table.Fields())
            parts.append(field->AsString());
        rows.append(parts.join(u'|'));
    }
    return rows;
}

// Frees a closed dialog, as the event loop would once the handler is over.
inline void RunDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A fresh dialog set up as a caller sets it up, over a target dataset held in
// memory (three labelled fields), with its own Search.ini and every box
// recorded. The dialog is not shown; Show() runs the show and activation
// steps.
class DialogFixture
{
public:
    explicit DialogFixture(bool createTarget = true)
    {
        TFrmgetdataTestHook::SetSearchIniPath(IniPath());
        if (createTarget) FillTarget();
        Source.SetDataSet(&Target);
        CreateDialog();
        Dialog = Frmgetdata;
        Dialog->SearchSource = &Source;
        Dialog->TargetDataSet = &Target;
        Dialog->TableName = QStringLiteral("PRODUCT");
        Dialog->IniSection = QStringLiteral("PRODUCT");
        Dialog->ColumnList = QStringLiteral("PROD_ID,PROD_NAME,SALE_PRICE ");
        Dialog->OrderClause = QStringLiteral(" ORDER BY PROD_ID");
    }
    ~DialogFixture()
    {
        delete Dialog.data();
        TFrmgetdataTestHook::SetSearchIniPath(QString());
    }

    void FillTarget()
    {
        Target.setObjectName(QStringLiteral("CDS_PRODUCT"));
        Target.FieldDefs().Add(QStringLiteral("PROD_ID"), TFieldType::ftString, 20);
        Target.FieldDefs().Add(QStringLiteral("PROD_NAME"), TFieldType::ftString, 40);
        Target.FieldDefs().Add(QStringLiteral("SALE_PRICE"), TFieldType::ftFloat);
        Target.CreateDataSet();
        Target.FieldByName(QStringLiteral("PROD_ID"))->SetDisplayLabel(QStringLiteral("商品編號"));
        Target.FieldByName(QStringLiteral("PROD_NAME"))->SetDisplayLabel(QStringLiteral("品名"));
        Target.FieldByName(QStringLiteral("SALE_PRICE"))->SetDisplayLabel(QStringLiteral("售價"));
        const QList<std::tuple<QString, QString, double>> rows{
            {QStringLiteral("A003"), QStringLiteral("黑松沙士"), 25},
            {QStringLiteral("A001"), QStringLiteral("光泉鮮乳"), 32},
            {QStringLiteral("A002"), QStringLiteral("義美小泡芙"), 18},
        };
        for (const auto& [id, name, price] : rows) {
            Target.Append();
            Target.FieldByName(QStringLiteral("PROD_ID"))->SetAsString(id);
            Target.FieldByName(QStringLiteral("PROD_NAME"))->SetAsString(name);
            Target.FieldByName(QStringLiteral("SALE_PRICE"))->SetAsFloat(price);
            Target.Post();
        }
        Target.First();
    }

    void Show()
    {
        Dialog->show();
        QCoreApplication::processEvents();
    }

    // Picks the field by name, the match mode and the value.
    void Inputs(const QString& fieldName, int mode, const QString& value)
    {
        Dialog->ComboBox1->SetItemIndex(Dialog->ComboBox2->findText(fieldName));
        Dialog->RadioGroup1->SetItemIndex(mode);
        Dialog->Edit1->setText(value);
    }

    QStringList Conditions() { return ConditionRows(*Dialog->CDS_SQL); }

    QString IniPath() const { return Dir.path() + QStringLiteral("/Search.ini"); }

    QTemporaryDir Dir;
    TRecordingMessages Boxes;
    TClientDataSet Target;
    TDataSource Source;
    QPointer<TFrmgetdata> Dialog;
};
