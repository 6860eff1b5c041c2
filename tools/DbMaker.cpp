#include "DbMaker.h"

#include "DemoData.h"
#include "FbDatabase.h"
#include "FbStatement.h"
#include "ProductCatalogue.h"
#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace
{

QString Name(std::string_view name)
{
    return QString::fromUtf8(name.data(), name.size());
}

QString ColumnType(const TProductFieldDef& field)
{
    switch (field.DataType) {
    case TFieldType::ftInteger:
        return QStringLiteral("INTEGER");
    case TFieldType::ftFloat:
        return QStringLiteral("DOUBLE PRECISION");
    default:
        return QStringLiteral("VARCHAR(%1)").arg(field.Size);
    }
}

QString InsertStatement(const QString& table, const QStringList& columns)
{
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(table, columns.join(QStringLiteral(", ")),
             QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", ")));
}

template <typename TStatement> void Bind(TStatement& statement, const TDemoRow& row)
{
    for (int i = 0; i < int(row.size()); ++i) {
        const TDemoValue& value = row[i];
        if (const auto* text = std::get_if<QString>(&value))
            statement.SetText(i, *text);
        else if (const auto* integer = std::get_if<qint32>(&value))
            statement.SetInteger(i, *integer);
        else if (const auto* number = std::get_if<double>(&value))
            statement.SetFloat(i, *number);
        else
            statement.SetNull(i);
    }
}

[[noreturn]] void Refuse(const QString& database)
{
    throw std::runtime_error(
        QStringLiteral("%1 exists already; use --force to replace it").arg(database).toStdString());
}

} // namespace

TDbMaker::TDbMaker(TDbOptions options) : FOptions(std::move(options)) {}

QStringList TDbMaker::SchemaStatements()
{
    QStringList columns;
    for (const TProductFieldDef& field : ProductCatalogue::Fields)
        columns.append(Name(field.FieldName) + QLatin1Char(' ') + ColumnType(field));
    columns.first() += QStringLiteral(" NOT NULL PRIMARY KEY");
    QStringList statements{
        QStringLiteral("CREATE TABLE PRODUCT (%1)").arg(columns.join(QStringLiteral(", ")))};
    for (const TLookupTableDef& table : ProductCatalogue::LookupTables)
        statements.append(
            QStringLiteral("CREATE TABLE %1 (%2 VARCHAR(%3) NOT NULL PRIMARY KEY, %4 VARCHAR(%5))")
                .arg(Name(table.TableName), Name(table.CodeColumn))
                .arg(table.CodeSize)
                .arg(Name(table.NameColumn))
                .arg(table.NameSize));
    return statements;
}

void TDbMaker::Make()
{
    if (FOptions.Database.isEmpty()) throw std::runtime_error("No database given");
    if (FOptions.Products < 0) throw std::runtime_error("The number of products can't be negative");
    if (FOptions.Backend == TDbBackend::Firebird)
        MakeFirebird();
    else
        MakeSqlite();
}

template <typename TDatabase, typename TStatement> void TDbMaker::Fill(TDatabase& database)
{
    for (const TLookupTableDef& table : ProductCatalogue::LookupTables) {
        TStatement insert(database,
                          InsertStatement(Name(table.TableName),
                                          {Name(table.CodeColumn), Name(table.NameColumn)}));
        for (const TDemoLookupRow& row : TDemoData::LookupRows(Name(table.TableName))) {
            insert.SetText(0, row.Code);
            insert.SetText(1, row.Name);
            insert.Execute();
        }
    }

    QStringList columns;
    for (const TProductFieldDef& field : ProductCatalogue::Fields)
        columns.append(Name(field.FieldName));
    TStatement insert(database, InsertStatement(QStringLiteral("PRODUCT"), columns));
    const TDemoData data(FOptions.Seed);
    if (FOptions.WithDemoRow) {
        Bind(insert, data.DemoProduct());
        insert.Execute();
    }
    for (int i = 0; i < FOptions.Products; ++i) {
        Bind(insert, data.Product(i));
        insert.Execute();
        if (OnProgress && (i + 1) % 10000 == 0) OnProgress(i + 1, FOptions.Products);
    }
}

void TDbMaker::MakeFirebird()
{
    const TDbOptions& o = FOptions;
    if (IsServerDatabase(o.Database)) {
        if (o.Force) {
            // Attaching fails when there is nothing to replace; creating then
            // reports any real trouble.
            try {
                TFbDatabase(o.Database, o.User, o.Password, o.Charset).Drop();
            } catch (const std::runtime_error&) {
            }
        }
    } else if (QFileInfo::exists(o.Database)) {
        if (!o.Force) Refuse(o.Database);
        if (!QFile::remove(o.Database))
            throw std::runtime_error(
                QStringLiteral("Can't remove %1").arg(o.Database).toStdString());
    }

    TFbDatabase::Create(o.Database, o.User, o.Password, o.Charset);
    try {
        {
            // Filling goes to the disk once, at the end, whatever the setting.
            TFbDatabase database(o.Database, o.User, o.Password, o.Charset, false);
            // Tables must be committed before rows can go into them.
            database.StartTransaction();
            for (const QString& statement : SchemaStatements())
                database.Execute(statement);
            database.Commit();
            database.StartTransaction();
            Fill<TFbDatabase, TFbStatement>(database);
            database.Commit();
        }
        if (o.ForcedWrites) TFbDatabase(o.Database, o.User, o.Password, o.Charset, true);
    } catch (const std::runtime_error&) {
        // A half-made database would pass for a good one later.
        try {
            TFbDatabase(o.Database, o.User, o.Password, o.Charset).Drop();
        } catch (const std::runtime_error&) {
        }
        throw;
    }
}

void TDbMaker::MakeSqlite()
{
    const TDbOptions& o = FOptions;
    if (QFileInfo::exists(o.Database)) {
        if (!o.Force) Refuse(o.Database);
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            QFile::remove(o.Database + QLatin1String(suffix));
        if (QFileInfo::exists(o.Database))
            throw std::runtime_error(
                QStringLiteral("Can't remove %1").arg(o.Database).toStdString());
    }

    try {
        TSqliteDatabase database(o.Database, true);
        database.Execute(QStringLiteral("BEGIN"));
        for (const QString& statement : SchemaStatements())
            database.Execute(statement);
        Fill<TSqliteDatabase, TSqliteStatement>(database);
        database.Execute(QStringLiteral("COMMIT"));
    } catch (const std::runtime_error&) {
        QFile::remove(o.Database);
        throw;
    }
}
