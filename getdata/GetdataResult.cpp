// The search run, sorting by a title, selecting rows and the result grid's
// keys and painting; the caller's reading of the selected rows.

#include "Getdata.h"

#include "DBSearch.h"
#include "Exceptions.h"
#include "QueryDialogSettings.h"
#include "SelectGrid.h"
#include "TApplication.h"
#include "TComboBox.h"
#include "TMessageService.h"
#include "TWaitCursor.h"

void TFrmgetdata::SpeedButton1Click(QObject* Sender)
{
    Application()->Guard([&] { RunSearch(); });
}

void TFrmgetdata::RunSearch()
{
    if (!SearchSource)
        throw Exception(QStringLiteral("%1: 沒有指定 SearchSource").arg(objectName()));
    SearchEdit1->SetDataField(QString());
    ComposeStatement();
    {
        const TWaitCursor wait;
        CDS_Query->Close();
        CDS_Query->SetCommandText(LinesWithCrLf(*SqlLines));
        CDS_Query->Open();
    }
    if (CDS_Query->RecordCount() > 0)
        SearchSource->SetDataSet(CDS_Query);
    else
        Messages().ShowMessage(QStringLiteral("找不到該條件資料!"));
    // The result's fields are labelled with column names only: the titles
    // come from the target's display names, by position. Positions past the
    // last column name the placeholder, whose title takes nothing.
    for (int i = 0; i < ComboBox1->count(); ++i)
        DBGrid1->ColumnAt(i)->SetTitle(ComboBox1->itemText(i));
}

void TFrmgetdata::DBGrid1TitleButtonClick(QObject* Sender, const QString& AFieldName)
{
    Application()->Guard([&] {
        const TDataSource* source = SearchEdit1->DataSource();
        TClientDataSet* dataSet =
            source && source->DataSet() == TargetDataSet ? TargetDataSet : CDS_Query;
        dataSet->IndexDefs().Clear();
        dataSet->IndexDefs().Add(QStringLiteral("idIndex"), AFieldName,
                                 {TIndexOption::ixNonMaintained});
        dataSet->SetIndexFieldNames(AFieldName);
        SearchEdit1->SetDataField(AFieldName);
        SearchEdit1->setFocus();
    });
}

void TFrmgetdata::SpeedButton4Click(QObject* Sender)
{
    Application()->Guard([&] { SelectAll(); });
}

void TFrmgetdata::SelectAll()
{
    const TDataSource* source = DBGrid1->DataSource();
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    if (!dataSet) return;
    dataSet->First();
    while (!dataSet->Eof()) {
        DBGrid1->AddCurrentRowToSelection();
        dataSet->Next();
    }
}

void TFrmgetdata::dbgrid1KeyDown(QObject* Sender, int& Key, Qt::KeyboardModifiers Shift)
{
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
        Key = 0;
        DialogAccepted = true;
        accept();
    } else {
        QueryDialogSettings::KeyDown(Key);
    }
}

void TFrmgetdata::DBGrid1DrawDataCell(QObject* Sender, const QRect& Rect, TField* Field,
                                      TGridDrawState State)
{
    QueryDialogSettings::DrawDataCell(*DBGrid1, Rect, Field, State);
}

QString TFrmgetdata::GetSelectedValues(const QString& FieldName)
{
    QString text;
    const TDataSource* source = DBGrid1->DataSource();
    TDataSet* dataSet = source ? source->DataSet() : nullptr;
    const TBookmarkList& selection = DBGrid1->SelectionBookmarks();
    if (!dataSet || selection.IsEmpty()) return text;
    // Moving may make the grid look at its list again: walk a copy.
    std::vector<TBookmark> bookmarks;
    for (int i = 0; i < selection.Count(); ++i)
        bookmarks.push_back(selection[i]);
    TField* field = dataSet->FieldByName(FieldName);
    for (const TBookmark& bookmark : bookmarks) {
        // An entry of another dataset or an earlier opening names no row here.
        if (!dataSet->BookmarkValid(bookmark)) continue;
        dataSet->GotoBookmark(bookmark);
        text += field->AsString() + QStringLiteral("\r\n");
    }
    return text;
}
