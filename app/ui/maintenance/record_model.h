#pragma once
// What the maintenance lists' models share over Qt's list or table model: rows filled from a
// directory list with progress, and rows moved into a new order with the views' selections
// and current row following their records.

#include <QAbstractItemModel>

#include <cstdint>
#include <functional>
#include <type_traits>
#include <vector>

#include "archive/ob_list.h"
#include "archive/serializable.h"
#include "ui/maintenance/record_rows.h"

// Calls `take` with each record of `list` that is a Record (every record for Serializable),
// in list order, telling `progress` the number taken after every record.
template <class Record, class Take>
void TakeRecords(const CObList* list, const std::function<void(size_t)>& progress, Take take) {
    if (!list) return;
    constexpr size_t kReadAhead = 8;
    const size_t count = list->GetCount();
    Serializable* const* items = list->begin();
    size_t taken = 0;
    for (size_t i = 0; i < count; ++i) {
        // The records lie scattered over the heap: asking for one a few steps ahead lets its
        // memory arrive while this one is read, instead of waiting for each in turn.
        if (i + kReadAhead < count) __builtin_prefetch(items[i + kReadAhead]);
        Record* record;
        if constexpr (std::is_same_v<Record, Serializable>)
            record = items[i];
        else
            record = As<Record>(items[i]);
        if (record) {
            take(record);
            ++taken;
        }
        if (progress) progress(taken);
    }
}

template <class Base>
class RecordModel : public Base, public RecordRows {
public:
    using Base::Base;

    // One row per record of the list, sorted; `progress` is told after every record.
    void SetList(const CObList* list, const std::function<void(size_t)>& progress = {}) {
        this->beginResetModel();
        list_ = list;
        LoadRows(list, progress);
        SortRows();
        this->endResetModel();
    }
    void Reload() override { SetList(list_); }

protected:
    // Takes the list's records (none for null) as the rows, in any order.
    virtual void LoadRows(const CObList* list, const std::function<void(size_t)>& progress) = 0;
    // Puts the rows in their order.
    virtual void SortRows() = 0;

    // Runs `reorder`, which moves rows but neither adds nor takes any. `keyOf(row)` names a
    // row's record before the move and `rowOf(key)` finds its row after it.
    template <class KeyOf, class RowOfKey>
    void MoveRows(const std::function<void()>& reorder, KeyOf keyOf, RowOfKey rowOf) {
        emit this->layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList before = this->persistentIndexList();
        std::vector<decltype(keyOf(0))> kept;
        kept.reserve(static_cast<size_t>(before.size()));
        for (const QModelIndex& index : before)
            kept.push_back(keyOf(index.row()));
        reorder();
        if (!before.isEmpty()) {
            QModelIndexList after;
            after.reserve(before.size());
            for (qsizetype i = 0; i < before.size(); ++i)
                after.push_back(this->index(rowOf(kept[static_cast<size_t>(i)]), before[i].column()));
            this->changePersistentIndexList(before, after);
        }
        emit this->layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    // The same, each row known by its record.
    void MoveRows(const std::function<void()>& reorder) {
        MoveRows(
            reorder, [this](int row) { return RecordAt(row); },
            [this](const Serializable* record) { return RowOf(record); });
    }

private:
    const CObList* list_ = nullptr;
};
