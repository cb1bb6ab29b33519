#pragma once
// What the maintenance lists share: each row shows one directory record, found by row and
// back, and can say whether it matches a find text. The rows are an order over the
// directory's own list, never copies of the records, and are brought up to date when the
// list or a record changes.

#include <string>
#include <unordered_map>
#include <vector>

class Serializable;

class RecordRows {
public:
    virtual ~RecordRows() = default;
    virtual Serializable* RecordAt(int row) const = 0;
    // -1 when the record has no row.
    virtual int RowOf(const Serializable* record) const = 0;
    // `text` is in the directory's code page; empty matches every row.
    virtual bool RowMatches(int row, const std::string& text) const = 0;
    // The list's records again (after records came or went), sorted.
    virtual void Reload() = 0;
    // Sorts again after a record's fields changed, keeping the views' selections.
    virtual void Resort() = 0;
};

// The row of each record, made when first asked for after the rows moved: opening and sorting
// need none, and a look-up after them costs one pass.
class LazyRowIndex {
public:
    void Forget() {
        built_ = false;
        rowOf_.clear();
    }
    template <class Record>
    int RowOf(const std::vector<Record*>& rows, const Serializable* record) {
        if (!built_) {
            rowOf_.reserve(rows.size());
            for (size_t i = 0; i < rows.size(); ++i)
                rowOf_.emplace(rows[i], static_cast<int>(i));
            built_ = true;
        }
        auto it = rowOf_.find(record);
        return it == rowOf_.end() ? -1 : it->second;
    }

private:
    std::unordered_map<const Serializable*, int> rowOf_;
    bool built_ = false;
};
