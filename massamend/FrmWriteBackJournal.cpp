#include "FrmWriteBackJournal.h"

#include "TApplication.h"
#include "TWriteBackJournal.h"
#include "TWriteBackUndo.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace
{

constexpr int IdRole = Qt::UserRole;

QTableWidgetItem* Cell(const QString& text, qint64 id)
{
    auto* item = new QTableWidgetItem(text);
    item->setData(IdRole, id);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

QString RowsText(const TJournalEntry& entry)
{
    QString text = QStringLiteral("%1 / %2").arg(entry.Written).arg(entry.Listed);
    if (entry.Skipped > 0) text += QStringLiteral("（略過 %1）").arg(entry.Skipped);
    return text;
}

} // namespace

TFrmWriteBackJournal::TFrmWriteBackJournal(TWriteBackJournal& journal, QString database,
                                           QWidget* parent)
    : QDialog(parent), FJournal(journal), FDatabase(std::move(database))
{
    setObjectName(QStringLiteral("FrmWriteBackJournal"));
    setWindowTitle(QStringLiteral("回存記錄"));
    if (parent) setFont(parent->font());

    ListJournal = new QTableWidget(0, int(Titles().size()), this);
    ListJournal->setObjectName(QStringLiteral("ListJournal"));
    ListJournal->setHorizontalHeaderLabels(Titles());
    ListJournal->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListJournal->setSelectionMode(QAbstractItemView::SingleSelection);
    ListJournal->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListJournal->verticalHeader()->setVisible(false);
    ListJournal->horizontalHeader()->setStretchLastSection(true);

    ButtonUndo = new QPushButton(QStringLiteral("復原"), this);
    ButtonUndo->setObjectName(QStringLiteral("ButtonUndo"));
    ButtonClose = new QPushButton(QStringLiteral("關閉"), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    connect(ButtonUndo, &QPushButton::clicked, this, [this] { ButtonUndoClick(); });
    connect(ButtonClose, &QPushButton::clicked, this, &QDialog::close);
    connect(ListJournal, &QTableWidget::itemSelectionChanged, this,
            [this] { ButtonUndo->setEnabled(SelectedId() != 0); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonUndo);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(ListJournal, 1);
    layout->addLayout(buttons);
    resize(680, 360);
    Refresh();
}

QStringList TFrmWriteBackJournal::Titles()
{
    return {QStringLiteral("時間"),      QStringLiteral("欄位"),   QStringLiteral("值"),
            QStringLiteral("寫入/筆數"), QStringLiteral("使用者"), QStringLiteral("已復原")};
}

void TFrmWriteBackJournal::Refresh()
{
    Application()->Guard([&] {
        const qint64 selected = SelectedId();
        ListJournal->setRowCount(0);
        const QList<TJournalEntry> entries = FJournal.Entries(FDatabase);
        ListJournal->setRowCount(int(entries.size()));
        for (int row = 0; row < entries.size(); ++row) {
            const TJournalEntry& e = entries[row];
            const QStringList texts = {e.When.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")),
                                       TWriteBackUndo::ColumnName(e.Column),
                                       TWriteBackUndo::ValueText(e),
                                       RowsText(e),
                                       e.User,
                                       e.Undone ? QStringLiteral("已復原") : QString()};
            for (int column = 0; column < texts.size(); ++column)
                ListJournal->setItem(row, column, Cell(texts[column], e.Id));
            if (e.Id == selected || (selected == 0 && row == 0)) ListJournal->selectRow(row);
        }
        ListJournal->resizeColumnsToContents();
        ButtonUndo->setEnabled(SelectedId() != 0);
    });
}

qint64 TFrmWriteBackJournal::SelectedId() const
{
    const QList<QTableWidgetItem*> items = ListJournal->selectedItems();
    return items.isEmpty() ? 0 : items.first()->data(IdRole).toLongLong();
}

void TFrmWriteBackJournal::ButtonUndoClick()
{
    const qint64 id = SelectedId();
    if (id == 0 || !OnUndo) return;
    OnUndo(id);
    Refresh();
}
