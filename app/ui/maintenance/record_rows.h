#pragma once
// What the maintenance lists share: each row shows one directory record, found by row and
// back, and can say whether it matches a find text. The rows are an order over the
// directory's own list, never copies of the records.

#include <string>

class Serializable;

class RecordRows {
public:
    virtual ~RecordRows() = default;
    virtual Serializable* RecordAt(int row) const = 0;
    // -1 when the record has no row.
    virtual int RowOf(const Serializable* record) const = 0;
    // `text` is in the directory's code page; empty matches every row.
    virtual bool RowMatches(int row, const std::string& text) const = 0;
};
