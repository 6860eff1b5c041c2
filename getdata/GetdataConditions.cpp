// The condition list, its controls and the composition of the statement.

#include "Getdata.h"

#include "Big5Text.h"
#include "Exceptions.h"
#include "QuotedStr.h"
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

// "SCH_VALUE" holds 20 Big5 bytes.
constexpr int SchValueSize = 20;

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

TFrmgetdata::TConditionValue TFrmgetdata::ConditionFromInputs() const
{
    // The value as one SQL literal: quotes inside it doubled, the mode's
    // percent signs inside the quotes.
    const QString value = Edit1->text();
    // The database's client would cut the statement at it and answer with a
    // garbled message.
    if (value.contains(QChar(u'\0')))
        throw Exception(QStringLiteral("搜尋值不可含有 NUL 字元（代碼 0）。"));
    QString operatorText;
    QString literal;
    switch (RadioGroup1->ItemIndex()) {
    case 0:
        operatorText = QStringLiteral(" = ");
        literal = QuotedStr(value);
        break;
    case 1:
        operatorText = QStringLiteral(" like ");
        literal = QuotedStr(value + QLatin1Char('%'));
        break;
    case 2:
        operatorText = QStringLiteral(" like ");
        literal = QuotedStr(QLatin1Char('%') + value + QLatin1Char('%'));
        break;
    default:
        break;
    }
    // Cut to the field's size the literal would lose its closing quote and
    // the database would refuse the statement: refuse the value here instead.
    if (const int bytes = Big5ByteLength(literal); bytes > SchValueSize)
        throw Exception(
            QStringLiteral("搜尋值「%1」太長：加上引號後 %2 個位元組，最多 %3 個位元組。")
                .arg(value)
                .arg(bytes)
                .arg(SchValueSize));
    return {operatorText, literal};
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
    SqlLines->Clear();
    SqlLines->Add(QStringLiteral("SELECT ") + ColumnList + QStringLiteral(" FROM "));
    SqlLines->Add(TableName + QStringLiteral(" "));
    const QString space = QStringLiteral(" ");
    for (CDS_SQL->First(); !CDS_SQL->Eof(); CDS_SQL->Next()) {
        const QList<TField*>& f = CDS_SQL->Fields();
        SqlLines->Add(space + f[1]->AsString() + space + f[2]->AsString() + space +
                      f[4]->AsString() + space + f[5]->AsString() + space);
    }
    SqlLines->Add(OrderClause);
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
