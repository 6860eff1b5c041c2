// The condition list, its controls and the composition of the statement.

#include "Getdata.h"

#include "Exceptions.h"
#include "GetdataSql.h"
#include "SelectGrid.h"
#include "TApplication.h"
#include "TComboBox.h"
#include "TRadioGroup.h"
#include "TSQLDataSet.h"

#include <QLineEdit>

namespace
{

const QString ConnectorFirst = QStringLiteral("首要");
const QString ConnectorAnd = QStringLiteral("加上");
const QString ConnectorOr = QStringLiteral("或者");

QString ConnectorKeyword(const QString& choice)
{
    if (choice == ConnectorFirst) return QStringLiteral("WHERE");
    if (choice == ConnectorAnd) return QStringLiteral("AND");
    if (choice == ConnectorOr) return QStringLiteral("OR");
    return QString();
}

bool IsEnter(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

void TFrmgetdata::SetConnectorFirst()
{
    RadioGroup2->SetItems({ConnectorFirst});
    RadioGroup2->SetItemIndex(0);
}

void TFrmgetdata::SpeedButton3Click(QObject* Sender)
{
    Application()->Guard([&] { AddCondition(); });
}

TConditionValue TFrmgetdata::ConditionFromInputs() const
{
    return ConditionValue(RadioGroup1->ItemIndex(), Edit1->text());
}

void TFrmgetdata::AddCondition()
{
    const auto [operatorText, literal] = ConditionFromInputs();
    const int field = ComboBox1->ItemIndex();
    const int count = CDS_SQL->RecordCount();
    CDS_SQL->Append();
    try {
        CDS_SQL->FieldByName(QStringLiteral("recid"))->SetAsInteger(count + 1);
        CDS_SQL->FieldByName(QStringLiteral("SQL_WHERE"))
            ->SetAsString(ConnectorKeyword(RadioGroup2->SelectedText()));
        CDS_SQL->FieldByName(QStringLiteral("Col_Name"))
            ->SetAsString(field >= 0 ? ComboBox2->itemText(field) : QString());
        CDS_SQL->FieldByName(QStringLiteral("Col_DisplayName"))
            ->SetAsString(field >= 0 ? ComboBox1->itemText(field) : QString());
        CDS_SQL->FieldByName(QStringLiteral("SQL_GEN"))->SetAsString(operatorText);
        CDS_SQL->FieldByName(QStringLiteral("SCH_VALUE"))->SetAsString(literal);
        CDS_SQL->Post();
    } catch (...) {
        CDS_SQL->Cancel();
        throw;
    }
    RadioGroup2->SetItems({ConnectorAnd, ConnectorOr});
    RadioGroup2->SetItemIndex(0);
}

void TFrmgetdata::SpeedButton2Click(QObject* Sender)
{
    Application()->Guard([&] { ResetConditions(); });
}

void TFrmgetdata::ResetConditions()
{
    Edit1->clear();
    std::exception_ptr failure;
    try {
        if (!SearchSource)
            throw Exception(QStringLiteral("%1: 沒有指定 SearchSource").arg(objectName()));
        SearchSource->SetDataSet(TargetDataSet);
    } catch (...) {
        failure = std::current_exception();
    }
    // Another copy of the names, even when the data source could not follow.
    if (SearchSource && SearchSource->DataSet()) {
        QStringList displayNames;
        QStringList fullNames;
        for (const TField* f : SearchSource->DataSet()->Fields()) {
            displayNames.append(f->DisplayName());
            fullNames.append(f->FullName());
        }
        ComboBox1->AddItems(displayNames);
        ComboBox2->AddItems(fullNames);
    }
    if (failure) std::rethrow_exception(failure);
    if (CDS_SQL->Active())
        while (!CDS_SQL->IsEmpty()) {
            CDS_SQL->First();
            CDS_SQL->Delete();
        }
    SetConnectorFirst();
}

void TFrmgetdata::ComposeStatement()
{
    if (CDS_SQL->IsEmpty()) AddCondition();
    if (ColumnList.isEmpty()) ColumnList = QStringLiteral(" * ");
    QList<TConditionRow> conditions;
    for (CDS_SQL->First(); !CDS_SQL->Eof(); CDS_SQL->Next()) {
        const QList<TField*>& f = CDS_SQL->Fields();
        conditions.append({f[1]->AsString(), f[2]->AsString(), f[4]->AsString(), f[5]->AsString()});
    }
    SqlLines->Clear();
    for (const QString& line : StatementLines(ColumnList, TableName, conditions, OrderClause))
        SqlLines->Add(line);
}

void TFrmgetdata::Edit1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    if (!IsEnter(Key) || Edit1->text().isEmpty()) return;
    Key = 0;
    Application()->Guard([&] {
        // With two conditions or more the inputs take no part; otherwise
        // inputs that make no condition keep the listed one.
        if (CDS_SQL->RecordCount() < 2) ConditionFromInputs();
        if (CDS_SQL->RecordCount() == 1) {
            CDS_SQL->First();
            CDS_SQL->Delete();
            SetConnectorFirst();
        }
        RunSearch();
    });
}

void TFrmgetdata::ComboBox1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    if (IsEnter(Key)) {
        Key = 0;
        DBGrid1->setFocus();
    } else if (Key == Qt::Key_Escape) {
        Key = 0;
        reject();
    }
}
