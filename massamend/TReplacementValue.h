#pragma once

#include <QString>

class TField;

// The replacement value as the write-back binds it to its parameter. It is
// checked against the chosen field before any row is written, so that every
// backend refuses the same values with the same message and a refused value
// writes nothing:
// - a number field takes a number, in the syntax the field and the drivers
//   share; an empty (or blank) value is refused, since written it would wipe
//   the column of every listed product;
// - a text field takes the text as typed, whatever its length: the database
//   decides what its column holds; empty text stays empty text.
// An empty value for a required field is refused as the field refuses it.
// The messages are those the field gives when it is set from text.
class TReplacementValue
{
public:
    // Without a field (no column chosen) the text goes as it is and the
    // database judges the statement.
    static QString ForField(const TField* field, const QString& text);
};
