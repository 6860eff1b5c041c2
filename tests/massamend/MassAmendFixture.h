#pragma once

#include "Exceptions.h"
#include "FrmMassAmend.h"
#include "ProductCatalogue.h"
#include "QuotedStr.h"
#include "RecordingProgress.h"
#include "SecondConnection.h"
#include "TChangeStamp.h"
#include "TComboBox.h"
#include "TRecordingMessages.h"
#include "TWriteBackJournal.h"
#include "TestDatabase.h"
#include "tools/DemoData.h"

#include <QDateTime>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <memory>

// The main window on a test database of its own, with every box recorded and
// a fixed clock for the change stamps. Tests check what reached the database
// through Check, a connection of its own.
class MassAmendFixture
{
public:
    explicit MassAmendFixture(const TestBackend& backend, const TestDatabaseOptions& options = {})
        : Database(backend, options)
    {
        if (!Database.IsValid()) {
            FError = Database.ErrorString();
            return;
        }
        try {
            Form = std::make_unique<TFormMassAmend>();
        } catch (const Exception& error) {
            FError = error.Message();
            return;
        }
        Form->Journal().SetFileName(JournalFile());
        Form->ChangeStamp().Clock = [] { return Now(); };
        Form->ChangeStamp().SetDateSeparator(QLatin1Char('/'));
        Form->ChangeStamp().SetTimeSeparator(QLatin1Char(':'));
        auto progress = std::make_unique<RecordingProgress>();
        Progress = progress.get();
        Form->SetProgress(std::move(progress));
        Check = std::make_unique<SecondConnection>(Database);
    }

    // The write-back journal of the test, in a folder that does not exist yet.
    QString JournalFile() const
    {
        return Database.Dir() + QStringLiteral("/journal/writeback-journal.sqlite");
    }

    // Empty when the database and the window are there.
    QString Error() const { return FError; }

    static QDateTime Now() { return QDateTime(QDate(2024, 3, 5), QTime(21, 7, 5)); }
    static QString Code(int index) { return TDemoData::ProductCode(index); }
    static QStringList Codes(const QList<int>& indexes)
    {
        QStringList codes;
        for (int i : indexes)
            codes << Code(i);
        return codes;
    }

    // Reloads the product list with these products, as product selection does.
    void Load(const QStringList& codes)
    {
        QStringList literals;
        for (const QString& code : codes)
            literals << QuotedStr(code);
        Form->CDS_PRODUCT->Close();
        Form->CDS_PRODUCT->SetCommandText(
            QStringLiteral("select * from product where prod_id in (%1)").arg(literals.join(u',')));
        Form->CDS_PRODUCT->Open();
    }

    // Picks a column by field name in the column list and types the value.
    void Choose(const QString& fieldName, const QString& value)
    {
        Form->ComboBox1->SetItemIndex(Form->ComboBox2->findText(fieldName));
        Form->Edit1->setText(value);
    }

    // Every product's value of a column, by code; a null value is null.
    QMap<QString, QVariant> Column(const QString& column)
    {
        QMap<QString, QVariant> values;
        for (const QVariantList& row :
             Check->QueryRows(QStringLiteral("select PROD_ID, %1 from PRODUCT").arg(column)))
            values.insert(row.value(0).toString(), row.value(1));
        return values;
    }

    // Every product's row as the database holds it, by code.
    QMap<QString, QVariantList> Rows()
    {
        QMap<QString, QVariantList> rows;
        for (const QVariantList& row : Check->QueryRows(QStringLiteral("select * from PRODUCT")))
            rows.insert(row.value(0).toString(), row);
        return rows;
    }

    static int ColumnIndex(const QString& fieldName)
    {
        return ProductCatalogue::FindIndex(fieldName);
    }

    TestDatabase Database;
    TRecordingMessages Boxes;
    std::unique_ptr<TFormMassAmend> Form;
    RecordingProgress* Progress = nullptr;
    std::unique_ptr<SecondConnection> Check;

private:
    QString FError;
};

#define OPEN_FIXTURE(fixture)                                                                      \
    do {                                                                                           \
        if (!(fixture).Error().isEmpty()) QFAIL(qPrintable((fixture).Error()));                    \
    } while (false)
