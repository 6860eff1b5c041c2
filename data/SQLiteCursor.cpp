#include "SQLiteCursor.h"

#include <QRegularExpression>

namespace
{

constexpr int UnsizedText = 255;
constexpr int DateText = 32;

TSQLColumn Describe(const QString& name, const QString& declared)
{
    TSQLColumn c;
    c.Name = name;
    const QString d = declared.toUpper();
    if (d.contains(QLatin1String("BIGINT")) || d.contains(QLatin1String("INT8"))) {
        c.DataType = TFieldType::ftFloat;
    } else if (d.contains(QLatin1String("INT"))) {
        c.DataType = TFieldType::ftInteger;
    } else if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("CLOB")) ||
               d.contains(QLatin1String("TEXT"))) {
        static const QRegularExpression size(QStringLiteral("\\(\\s*(\\d+)\\s*\\)"));
        const QRegularExpressionMatch m = size.match(d);
        c.DataType = TFieldType::ftString;
        c.Size = m.hasMatch() ? m.captured(1).toInt() : UnsizedText;
    } else if (d.contains(QLatin1String("DATE")) || d.contains(QLatin1String("TIME"))) {
        c.DataType = TFieldType::ftString;
        c.Size = DateText;
    } else if (d.contains(QLatin1String("BLOB"))) {
        c.DataType = TFieldType::ftUnknown;
    } else if (!d.isEmpty()) {
        c.DataType = TFieldType::ftFloat;
    }
    return c;
}

} // namespace

SQLiteCursor::SQLiteCursor(std::unique_ptr<SQLiteStatement> statement,
                           TSQLParamBatches laterBatches)
    : FStatement(std::move(statement)), FLaterBatches(std::move(laterBatches)),
      FApi(FStatement->Database().Api.get()), FHandle(FStatement->Handle())
{
    FPending = Step();
    const int count = FApi->sqlite3_column_count(FHandle);
    if (count == 0) {
        while (FPending)
            FPending = Step();
        FDone = true;
        FStatement->Finish();
        return;
    }
    FColumns.reserve(count);
    for (int i = 0; i < count; ++i) {
        const char* declared = FApi->sqlite3_column_decltype(FHandle, i);
        TSQLColumn c = Describe(QString::fromUtf8(FApi->sqlite3_column_name(FHandle, i)),
                                QString::fromUtf8(declared ? declared : ""));
        if (!declared || !*declared) {
            switch (FPending ? FApi->sqlite3_column_type(FHandle, i) : SQLITE_NULL) {
            case SQLITE_INTEGER:
                c.DataType = TFieldType::ftInteger;
                break;
            case SQLITE_FLOAT:
                c.DataType = TFieldType::ftFloat;
                break;
            case SQLITE_BLOB:
                c.DataType = TFieldType::ftUnknown;
                break;
            default:
                c.DataType = TFieldType::ftString;
                c.Size = UnsizedText;
                break;
            }
        }
        FColumns.push_back(c);
    }
}

bool SQLiteCursor::Next()
{
    if (FPending) {
        FPending = false;
        return true;
    }
    if (FDone) return false;
    if (Step()) return true;
    FDone = true;
    FStatement->Finish();
    return false;
}

bool SQLiteCursor::Step()
{
    while (!FStatement->Step()) {
        if (FNextBatch == FLaterBatches.size()) return false;
        FStatement->Bind(FLaterBatches[FNextBatch++]);
    }
    return true;
}

bool SQLiteCursor::IsNull(int index) const
{
    return FColumns[index].DataType == TFieldType::ftUnknown ||
           FApi->sqlite3_column_type(FHandle, index) == SQLITE_NULL;
}

qint32 SQLiteCursor::GetInteger(int index) const
{
    return FApi->sqlite3_column_int(FHandle, index);
}

double SQLiteCursor::GetFloat(int index) const
{
    return FApi->sqlite3_column_double(FHandle, index);
}

QByteArrayView SQLiteCursor::GetText(int index) const
{
    const auto* text = reinterpret_cast<const char*>(FApi->sqlite3_column_text(FHandle, index));
    return QByteArrayView(text, text ? FApi->sqlite3_column_bytes(FHandle, index) : 0);
}
