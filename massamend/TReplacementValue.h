#pragma once

#include "TSQLDriver.h"

#include <QString>

class TField;

// The replacement value as the write-back binds it to its parameter. It is
// checked against the chosen field before any row is written, so that every
// backend refuses the same values with the same message:
// - a number field takes a number; empty text clears it (null), unless the
//   field is required;
// - a text field takes the text as typed, if it fits the field's size in Big5
//   bytes; empty text stays empty text, unless the field is required.
// The messages are those the field gives when it is set from text.
class TReplacementValue
{
public:
    // Without a field (no column chosen) the text goes as it is and the
    // database judges the statement.
    static TSQLParamValue ForField(const TField* field, const QString& text);
};
