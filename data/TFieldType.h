#pragma once

// The kinds of value the data layer holds. Everything the product table has
// is one of these three; ftUnknown marks a column the program can't hold.
enum class TFieldType { ftUnknown, ftString, ftInteger, ftFloat };

const char* FieldTypeName(TFieldType type);
