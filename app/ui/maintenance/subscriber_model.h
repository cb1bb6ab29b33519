#pragma once
// Subscriber Maintenance's list: one row per subscriber of the directory's list, four
// columns (Name, PIN, Split, Service), sorted ascending by one of them. Texts are made from
// the record when a view asks. Rows are list positions ordered by a radix sort over each
// column's keys, made once per column and kept until the records change, so opening and
// sorting a long directory grow linearly with it.

#include <vector>

#include "directory/subscriber_order.h"
#include "sorting/counting_sort.h"
#include "sorting/stable_radix_sort.h"
#include "sorting/text_order.h"
#include "ui/maintenance/record_table_model.h"

class CSubscriber;

class SubscriberModel : public RecordTableModel {
    Q_OBJECT
public:
    explicit SubscriberModel(QObject* parent = nullptr);

    // Takes these subscribers' rows out, the others keeping their order; call it before the
    // records are freed.
    void Remove(const std::vector<CSubscriber*>& doomed);

    CSubscriber* SubscriberAt(int row) const;
    Serializable* RecordAt(int row) const override;
    int RowOf(const Serializable* record) const override;
    bool RowMatches(int row, const std::string& text) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

protected:
    void LoadRows(const CObList* list, const std::function<void(size_t)>& progress) override;
    void SortRows() override;
    QString Text(int row, int column) const override;
    void RecordsChanged() override;
    void MoveRowsToOrder() override;

private:
    void ForgetKeys();
    int RowOfPosition(uint32_t at) const;

    std::vector<CSubscriber*> records_;  // in list order
    std::vector<uint32_t> order_;        // positions in records_, row by row
    SubscriberColumns columns_;          // by position
    SubscriberColumnKeys keys_[kSubscriberColumns];
    bool keysFresh_[kSubscriberColumns] = {};
    vorla::StableRadixSort radix_;
    vorla::StableCountingSort counting_;
    vorla::TextSorter textSorter_;
    mutable LazyRowIndex positionOf_;
    mutable std::vector<int> rowOfPosition_;  // empty until asked for after the rows moved
};
