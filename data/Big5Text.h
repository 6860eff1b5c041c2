#pragma once

#include <QString>

// Sizes of text fields count bytes of the Big5 (code page 950) text: one for
// ASCII (and U+0080), two for every other character the code page holds.
int Big5ByteLength(const QString& text);

// The longest leading part of text that fits in size Big5 bytes; a double-byte
// character that doesn't fit whole is dropped, never split.
QString Big5Truncate(const QString& text, int size);
