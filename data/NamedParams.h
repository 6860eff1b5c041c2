#pragma once

#include <QString>
#include <QStringList>

// The named parameters of a statement's text: each ":name" outside quotes
// ('...' or "...") and comments (-- and /* */) is a parameter, written
// ":"quoted name"" when the name needs it; "::" stands for one colon, and a
// colon before anything else stays as it is.
struct NamedParams {
    // The text with a '?' for each parameter, as both engines take it.
    QString Statement;
    // The name of each '?' in order; a name used twice is there twice.
    QStringList Occurrences;

    static NamedParams Parse(const QString& text);
};
