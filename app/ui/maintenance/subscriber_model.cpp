#include "ui/maintenance/subscriber_model.h"

#include <QApplication>
#include <QStyle>

#include <unordered_set>

#include "directory/service.h"
#include "directory/subscriber.h"
#include "text/windows1252.h"
#include "ui/common/command_icon.h"

SubscriberModel::SubscriberModel(QObject* parent)
    : RecordTableModel(
          {{"Name", false}, {"PIN", true}, {"Split", true}, {"Service", false}},
          vorla::CommandIcon("avatar-default", "subscribers", QStyle::SP_FileIcon, QApplication::style()),
          parent) {}

void SubscriberModel::LoadRows(const CObList* list, const std::function<void(size_t)>& progress) {
    records_.clear();
    order_.clear();
    ForgetKeys();
    const size_t count = list ? list->GetCount() : 0;
    records_.reserve(count);
    columns_.Reserve(count);
    TakeRecords<CSubscriber>(list, progress, [this](CSubscriber* subscriber) {
        records_.push_back(subscriber);
        columns_.Add(*subscriber);
    });
    order_.resize(records_.size());
    for (size_t at = 0; at < order_.size(); ++at)
        order_[at] = static_cast<uint32_t>(at);
}

void SubscriberModel::ForgetKeys() {
    for (int column = 0; column < kSubscriberColumns; ++column) {
        // Cleared, not freed: the memory serves the next keys of a list that is as long.
        keys_[column].byPosition.clear();
        keysFresh_[column] = false;
    }
    columns_.Clear();
    positionOf_.Forget();
    rowOfPosition_.clear();
}

void SubscriberModel::SortRows() {
    rowOfPosition_.clear();
    if (order_.empty()) return;
    const int column = SortColumn();
    SubscriberColumnKeys& keys = keys_[column];
    if (!keysFresh_[column]) {
        columns_.MakeKeys(column, textSorter_, keys);
        keysFresh_[column] = true;
    }
    // Names are unique in a directory, so their ranks are the rows' places and no previous
    // order has to be kept. Other ranks (PINs, services) are no more than the rows: one
    // counting pass orders them. Splits may spread over any range of numbers and take the
    // radix sort.
    if (keys.distinct && keys.limit == records_.size()) {
        for (uint32_t at = 0; at < records_.size(); ++at)
            order_[keys.byPosition[at]] = at;
        return;
    }
    if (keys.limit <= 2 * records_.size()) {
        counting_.Sort(order_, keys.byPosition, keys.limit);
        return;
    }
    radix_.Load(keys.Bits(), records_.size(), order_, [&keys](uint32_t at) { return keys.byPosition[at]; });
    radix_.Sort(false, order_);
}

void SubscriberModel::MoveRowsToOrder() {
    // Rows followed by list position, which a sort never changes: no look-up by record.
    MoveRows([this] { SortRows(); }, [this](int row) { return order_[static_cast<size_t>(row)]; },
             [this](uint32_t at) { return RowOfPosition(at); });
}

void SubscriberModel::RecordsChanged() {
    for (int column = 0; column < kSubscriberColumns; ++column)
        keysFresh_[column] = false;
    columns_.Clear();
    columns_.Reserve(records_.size());
    for (const CSubscriber* record : records_)
        columns_.Add(*record);
}

void SubscriberModel::Remove(const std::vector<CSubscriber*>& doomed) {
    if (doomed.empty() || records_.empty()) return;
    const std::unordered_set<const CSubscriber*> gone(doomed.begin(), doomed.end());
    constexpr uint32_t kGone = UINT32_MAX;
    beginResetModel();
    // One pass marks, then the records, their columns and the keys made so far close up
    // (ranks keep their order when some are taken out) and the rows are renumbered: no
    // sort, no erase per row.
    std::vector<char> keep(records_.size(), 1);
    std::vector<uint32_t> newPosition(records_.size(), kGone);
    uint32_t kept = 0;
    for (size_t at = 0; at < records_.size(); ++at) {
        if (gone.count(records_[at]))
            keep[at] = 0;
        else
            newPosition[at] = kept++;
    }
    KeepMarked(records_, keep);
    for (int column = 0; column < kSubscriberColumns; ++column)
        if (keysFresh_[column]) KeepMarked(keys_[column].byPosition, keep);
    columns_.KeepOnly(keep);
    size_t row = 0;
    for (uint32_t at : order_)
        if (newPosition[at] != kGone) order_[row++] = newPosition[at];
    order_.resize(row);
    positionOf_.Forget();
    rowOfPosition_.clear();
    endResetModel();
}

CSubscriber* SubscriberModel::SubscriberAt(int row) const {
    return row >= 0 && row < static_cast<int>(order_.size()) ? records_[order_[static_cast<size_t>(row)]]
                                                             : nullptr;
}

Serializable* SubscriberModel::RecordAt(int row) const {
    return SubscriberAt(row);
}

int SubscriberModel::RowOfPosition(uint32_t at) const {
    if (rowOfPosition_.empty() && !order_.empty()) {
        rowOfPosition_.assign(records_.size(), -1);
        for (size_t row = 0; row < order_.size(); ++row)
            rowOfPosition_[order_[row]] = static_cast<int>(row);
    }
    return at < rowOfPosition_.size() ? rowOfPosition_[at] : -1;
}

int SubscriberModel::RowOf(const Serializable* record) const {
    const int at = positionOf_.RowOf(records_, record);
    return at < 0 ? -1 : RowOfPosition(static_cast<uint32_t>(at));
}

bool SubscriberModel::RowMatches(int row, const std::string& text) const {
    const CSubscriber* subscriber = SubscriberAt(row);
    return subscriber && SubscriberMatches(*subscriber, text);
}

int SubscriberModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(order_.size());
}

QString SubscriberModel::Text(int row, int column) const {
    const CSubscriber* subscriber = SubscriberAt(row);
    switch (column) {
        case kSubscriberName:
            return vorla::FromWindows1252(subscriber->GetName());
        case kSubscriberPin:
            return vorla::FromWindows1252(subscriber->GetPIN());
        case kSubscriberSplit:
            return vorla::FromWindows1252(subscriber->GetMaxLength());
        case kSubscriberService:
            return subscriber->GetService() ? vorla::FromWindows1252(subscriber->GetService()->GetName())
                                            : QString();
    }
    return {};
}
