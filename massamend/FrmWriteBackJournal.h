#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QPushButton;
class QTableWidget;
class TWriteBackJournal;

// "回存記錄": the journal's write-backs of one database, newest first, with
// their time, column, value, rows written of rows listed, user and whether
// they were undone. "復原" hands the chosen one to OnUndo and shows the
// journal again afterwards.
class TFrmWriteBackJournal : public QDialog
{
public:
    TFrmWriteBackJournal(TWriteBackJournal& journal, QString database, QWidget* parent = nullptr);

    QTableWidget* ListJournal = nullptr;
    QPushButton* ButtonUndo = nullptr;
    QPushButton* ButtonClose = nullptr;

    std::function<void(qint64 id)> OnUndo;

    // Reads the journal again; a journal that can't be read shows its error.
    void Refresh();
    // The id of the chosen write-back, 0 when none is chosen.
    qint64 SelectedId() const;
    void ButtonUndoClick();

    static QStringList Titles();

private:
    TWriteBackJournal& FJournal;
    QString FDatabase;
};
