#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

// A broken invariant ends the run as a crash would, so that libFuzzer keeps
// the input that broke it.
[[noreturn]] inline void FuzzFailure(const char* check, const QString& detail)
{
    std::fprintf(stderr, "invariant broken: %s\n%s\n", check, detail.toUtf8().constData());
    std::abort();
}

#define FUZZ_CHECK(condition, detail)                                                              \
    do {                                                                                           \
        if (!(condition)) FuzzFailure(#condition, detail);                                         \
    } while (false)

// The text of an SQL statement split at its string literals: the literals'
// values (quotes undoubled) and the text outside them, each literal there
// replaced by one '?'. False when a literal is left open.
inline bool SplitLiterals(const QString& sql, QStringList& literals, QString& outside)
{
    literals.clear();
    outside.clear();
    for (qsizetype i = 0; i < sql.size(); ++i) {
        if (sql[i] != QLatin1Char('\'')) {
            outside += sql[i];
            continue;
        }
        QString value;
        for (++i;; ++i) {
            if (i >= sql.size()) return false;
            if (sql[i] != QLatin1Char('\'')) {
                value += sql[i];
            } else if (i + 1 < sql.size() && sql[i + 1] == QLatin1Char('\'')) {
                value += sql[i];
                ++i;
            } else {
                break;
            }
        }
        literals.append(value);
        outside += QLatin1Char('?');
    }
    return true;
}
