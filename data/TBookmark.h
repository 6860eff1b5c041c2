#pragma once

#include <QtGlobal>

// Names one row of one opening of one dataset. A bookmark of another dataset,
// or of an earlier opening of the same one, never names a row here: the
// dataset checks both serials before it looks at the row id. A bookmark is a
// plain value; FreeBookmark only exists so that callers keep the usual
// get/free discipline.
struct TBookmark
{
    quint64 DataSetSerial = 0; // 0: no bookmark
    quint64 OpenSerial = 0;
    qint32 RowId = -1;

    bool IsNull() const { return DataSetSerial == 0; }
    bool operator==(const TBookmark&) const = default;
};
