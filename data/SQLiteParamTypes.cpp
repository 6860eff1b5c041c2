#include "SQLiteParamTypes.h"

#include <QMap>
#include <vector>

namespace
{

struct Token {
    enum TokenKind { Name, Param, Compare, Open, Close, Comma, Dot, Other };
    TokenKind Kind;
    QString Text; // upper case for unquoted names
    bool Quoted = false;
};

bool IsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

std::vector<Token> Tokenize(const QString& sql)
{
    std::vector<Token> tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    auto at = [&](qsizetype k) { return k < n ? sql[k] : QChar(); };
    while (i < n) {
        const QChar c = sql[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('-') && at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql[i] != QLatin1Char('\n'))
                ++i;
        } else if (c == QLatin1Char('/') && at(i + 1) == QLatin1Char('*')) {
            const qsizetype end = sql.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else if (c == QLatin1Char('\'')) {
            for (++i; i < n; ++i)
                if (sql[i] == QLatin1Char('\'')) {
                    if (at(i + 1) != QLatin1Char('\'')) break;
                    ++i;
                }
            ++i;
            tokens.push_back({Token::Other, QString()});
        } else if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            QString name;
            for (++i; i < n; ++i) {
                if (sql[i] == close) {
                    if (close == QLatin1Char(']') || at(i + 1) != close) break;
                    ++i;
                }
                name += sql[i];
            }
            ++i;
            tokens.push_back({Token::Name, name, true});
        } else if (c == QLatin1Char('?')) {
            ++i;
            while (i < n && sql[i].isDigit())
                ++i;
            tokens.push_back({Token::Param, QString()});
        } else if (IsNameChar(c)) {
            const qsizetype start = i;
            while (i < n && IsNameChar(sql[i]))
                ++i;
            const QString word = sql.mid(start, i - start);
            tokens.push_back({c.isDigit() ? Token::Other : Token::Name, word.toUpper()});
        } else if (QStringLiteral("=<>!").contains(c)) {
            const qsizetype start = i;
            while (i < n && QStringLiteral("=<>!").contains(sql[i]))
                ++i;
            tokens.push_back({Token::Compare, sql.mid(start, i - start)});
        } else {
            ++i;
            const Token::TokenKind kind = c == QLatin1Char('(')   ? Token::Open
                                          : c == QLatin1Char(')') ? Token::Close
                                          : c == QLatin1Char(',') ? Token::Comma
                                          : c == QLatin1Char('.') ? Token::Dot
                                                                  : Token::Other;
            tokens.push_back({kind, QString(c)});
        }
    }
    return tokens;
}

bool IsWord(const std::vector<Token>& t, qsizetype i, const char* word)
{
    return i >= 0 && i < qsizetype(t.size()) && t[i].Kind == Token::Name && !t[i].Quoted &&
           t[i].Text == QLatin1String(word);
}

// Words after a table name that are not its alias.
bool IsClauseWord(const Token& t)
{
    static const QStringList words = {
        QStringLiteral("WHERE"),  QStringLiteral("SET"),    QStringLiteral("JOIN"),
        QStringLiteral("INNER"),  QStringLiteral("LEFT"),   QStringLiteral("RIGHT"),
        QStringLiteral("FULL"),   QStringLiteral("CROSS"),  QStringLiteral("NATURAL"),
        QStringLiteral("ON"),     QStringLiteral("USING"),  QStringLiteral("ORDER"),
        QStringLiteral("GROUP"),  QStringLiteral("HAVING"), QStringLiteral("LIMIT"),
        QStringLiteral("UNION"),  QStringLiteral("VALUES"), QStringLiteral("DEFAULT"),
        QStringLiteral("SELECT"), QStringLiteral("OUTER"),  QStringLiteral("RETURNING")};
    return !t.Quoted && words.contains(t.Text);
}

struct ColumnRef {
    QString Qualifier;
    QString Column;
};

// The column reference that ends at token end, if it is one.
std::optional<ColumnRef> RefEndingAt(const std::vector<Token>& t, qsizetype end)
{
    if (end < 0 || t[end].Kind != Token::Name) return std::nullopt;
    if (end >= 2 && t[end - 1].Kind == Token::Dot && t[end - 2].Kind == Token::Name)
        return ColumnRef{t[end - 2].Text, t[end].Text};
    return ColumnRef{QString(), t[end].Text};
}

// The column reference that starts at token start, if it is one.
std::optional<ColumnRef> RefStartingAt(const std::vector<Token>& t, qsizetype start)
{
    if (start >= qsizetype(t.size()) || t[start].Kind != Token::Name) return std::nullopt;
    if (start + 2 < qsizetype(t.size()) && t[start + 1].Kind == Token::Dot &&
        t[start + 2].Kind == Token::Name)
        return ColumnRef{t[start].Text, t[start + 2].Text};
    return ColumnRef{QString(), t[start].Text};
}

// The reference before "[NOT] IN" or "[NOT] BETWEEN" at token word.
std::optional<ColumnRef> RefBeforeWord(const std::vector<Token>& t, qsizetype word)
{
    return RefEndingAt(t, IsWord(t, word - 1, "NOT") ? word - 2 : word - 1);
}

std::optional<ColumnRef> Target(const std::vector<Token>& t, qsizetype p)
{
    const qsizetype count = t.size();
    if (p > 0 && t[p - 1].Kind == Token::Compare) return RefEndingAt(t, p - 2);
    if (p + 1 < count && t[p + 1].Kind == Token::Compare) return RefStartingAt(t, p + 2);
    if (IsWord(t, p - 1, "BETWEEN")) return RefBeforeWord(t, p - 1);
    if (IsWord(t, p - 1, "FROM") && IsWord(t, p - 2, "DISTINCT")) {
        const qsizetype is = IsWord(t, p - 3, "NOT") ? p - 4 : p - 3;
        if (IsWord(t, is, "IS")) return RefEndingAt(t, is - 1);
    }
    if (IsWord(t, p - 1, "AND") && IsWord(t, p - 3, "BETWEEN")) return RefBeforeWord(t, p - 3);
    // Inside an IN list: back over the other items to "IN (".
    qsizetype k = p - 1;
    while (k >= 0 && t[k].Kind != Token::Open &&
           (t[k].Kind == Token::Comma || t[k].Kind == Token::Param || t[k].Kind == Token::Other))
        --k;
    if (k >= 1 && t[k].Kind == Token::Open && IsWord(t, k - 1, "IN"))
        return RefBeforeWord(t, k - 1);
    return std::nullopt;
}

// The tables a statement names, with their aliases: alias or name -> table.
QMap<QString, QString> Tables(const std::vector<Token>& t, QStringList& order)
{
    QMap<QString, QString> tables;
    const qsizetype count = t.size();
    for (qsizetype i = 0; i < count; ++i) {
        if (!(IsWord(t, i, "FROM") || IsWord(t, i, "JOIN") || IsWord(t, i, "UPDATE") ||
              IsWord(t, i, "INTO")))
            continue;
        qsizetype k = i + 1;
        for (;;) {
            if (k >= count || t[k].Kind != Token::Name || IsClauseWord(t[k])) break;
            QString table = t[k].Text;
            ++k;
            if (k + 1 < count && t[k].Kind == Token::Dot && t[k + 1].Kind == Token::Name) {
                table = t[k + 1].Text;
                k += 2;
            }
            tables.insert(table, table);
            order.append(table);
            if (IsWord(t, k, "AS")) ++k;
            if (k < count && t[k].Kind == Token::Name && !IsClauseWord(t[k])) {
                tables.insert(t[k].Text, table);
                ++k;
            }
            if (k < count && t[k].Kind == Token::Comma && IsWord(t, i, "FROM"))
                ++k;
            else
                break;
        }
    }
    return tables;
}

// For INSERT INTO t (c1, c2, ...) VALUES (...): the column of each '?' of the
// VALUES list, by token index.
QMap<qsizetype, ColumnRef> InsertTargets(const std::vector<Token>& t)
{
    QMap<qsizetype, ColumnRef> targets;
    qsizetype into = -1;
    for (qsizetype i = 0; i + 1 < qsizetype(t.size()); ++i)
        if (IsWord(t, i, "INTO")) {
            into = i;
            break;
        }
    if (into < 0) return targets;
    qsizetype k = into + 2;
    if (k + 1 < qsizetype(t.size()) && t[k].Kind == Token::Dot) k += 2;
    if (k >= qsizetype(t.size()) || t[k].Kind != Token::Open) return targets;
    QStringList columns;
    for (++k; k < qsizetype(t.size()) && t[k].Kind != Token::Close; ++k)
        if (t[k].Kind == Token::Name) columns.append(t[k].Text);
    ++k;
    if (!IsWord(t, k, "VALUES") || k + 1 >= qsizetype(t.size()) || t[k + 1].Kind != Token::Open)
        return targets;
    int item = 0;
    int depth = 0;
    for (k += 2; k < qsizetype(t.size()); ++k) {
        if (t[k].Kind == Token::Open)
            ++depth;
        else if (t[k].Kind == Token::Close && depth-- == 0)
            break;
        else if (t[k].Kind == Token::Comma && depth == 0)
            ++item;
        else if (t[k].Kind == Token::Param && depth == 0 && item < columns.size() &&
                 (k == 0 || t[k - 1].Kind == Token::Open || t[k - 1].Kind == Token::Comma) &&
                 k + 1 < qsizetype(t.size()) &&
                 (t[k + 1].Kind == Token::Comma || t[k + 1].Kind == Token::Close))
            targets.insert(k, ColumnRef{QString(), columns[item]});
    }
    return targets;
}

} // namespace

SQLiteParamTypes::Affinity SQLiteParamTypes::AffinityOf(const QString& declaredType)
{
    const QString d = declaredType.toUpper();
    if (d.contains(QLatin1String("INT"))) return Affinity::Integer;
    if (d.contains(QLatin1String("CHAR")) || d.contains(QLatin1String("CLOB")) ||
        d.contains(QLatin1String("TEXT")))
        return Affinity::Text;
    if (d.isEmpty() || d.contains(QLatin1String("BLOB"))) return Affinity::Unknown;
    if (d.contains(QLatin1String("REAL")) || d.contains(QLatin1String("FLOA")) ||
        d.contains(QLatin1String("DOUB")))
        return Affinity::Real;
    return Affinity::Numeric;
}

QList<SQLiteParamTypes::Affinity> SQLiteParamTypes::Infer(const QString& sql,
                                                          const ColumnType& columnType)
{
    const std::vector<Token> t = Tokenize(sql);
    QStringList order;
    const QMap<QString, QString> tables = Tables(t, order);
    const QMap<qsizetype, ColumnRef> inserted = InsertTargets(t);

    QList<Affinity> result;
    for (qsizetype p = 0; p < qsizetype(t.size()); ++p) {
        if (t[p].Kind != Token::Param) continue;
        std::optional<ColumnRef> ref = inserted.contains(p) ? inserted.value(p) : Target(t, p);
        std::optional<QString> declared;
        if (ref && !ref->Qualifier.isEmpty()) {
            const QString table = tables.value(ref->Qualifier, ref->Qualifier);
            declared = columnType(table, ref->Column);
        } else if (ref) {
            for (const QString& table : order)
                if ((declared = columnType(table, ref->Column))) break;
        }
        result.append(declared ? AffinityOf(*declared) : Affinity::Unknown);
    }
    return result;
}
