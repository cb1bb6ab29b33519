#include "subscriber_model.h"

#include <QApplication>
#include <QStyle>

#include <unordered_set>

#include "command_icon.h"
#include "ob_list.h"
#include "service.h"
#include "subscriber.h"
#include "windows1252.h"

SubscriberModel::SubscriberModel(QObject* parent) : QAbstractTableModel(parent) {
    icon_ = vorla::CommandIcon("avatar-default", "subscribers", QStyle::SP_FileIcon, QApplication::style());
}

void SubscriberModel::SetList(const CObList* list, const std::function<void(size_t)>& progress) {
    beginResetModel();
    list_ = list;
    records_.clear();
    order_.clear();
    ForgetKeys();
    if (list_) {
        const size_t count = list_->GetCount();
        Serializable* const* items = list_->begin();
        records_.reserve(count);
        columns_.Reserve(count);
        for (size_t i = 0; i < count; ++i) {
            // The records lie scattered over the heap: asking for one a few steps ahead lets
            // its memory arrive while this one is read, instead of waiting for each in turn.
            if (i + kReadAhead < count) __builtin_prefetch(items[i + kReadAhead]);
            if (auto* subscriber = As<CSubscriber>(items[i])) {
                records_.push_back(subscriber);
                columns_.Add(*subscriber);
            }
            if (progress) progress(records_.size());
        }
        order_.resize(records_.size());
        for (size_t at = 0; at < order_.size(); ++at) order_[at] = static_cast<uint32_t>(at);
    }
    SortRows();
    endResetModel();
}

void SubscriberModel::Reload() { SetList(list_); }

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
    SubscriberColumnKeys& keys = keys_[sortColumn_];
    if (!keysFresh_[sortColumn_]) {
        columns_.MakeKeys(sortColumn_, textSorter_, keys);
        keysFresh_[sortColumn_] = true;
    }
    // Names are unique in a directory, so their ranks are the rows' places and no previous
    // order has to be kept. Other ranks (PINs, services) are no more than the rows: one
    // counting pass orders them. Splits may spread over any range of numbers and take the
    // radix sort.
    if (keys.distinct && keys.limit == records_.size()) {
        for (uint32_t at = 0; at < records_.size(); ++at) order_[keys.byPosition[at]] = at;
        return;
    }
    if (keys.limit <= 2 * records_.size()) {
        counting_.Sort(order_, keys.byPosition, keys.limit);
        return;
    }
    radix_.Load(keys.bits, records_.size(), order_, [&keys](uint32_t at) { return keys.byPosition[at]; });
    radix_.Sort(false, order_);
}

void SubscriberModel::Sort(int column) {
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<uint32_t> kept;
    kept.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before) kept.push_back(order_[static_cast<size_t>(index.row())]);
    sortColumn_ = column >= 0 && column < kSubscriberColumns ? column : 0;
    SortRows();
    if (!before.isEmpty()) {
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.push_back(index(RowOfPosition(kept[static_cast<size_t>(i)]), before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void SubscriberModel::Resort() {
    for (int column = 0; column < kSubscriberColumns; ++column) keysFresh_[column] = false;
    columns_.Clear();
    columns_.Reserve(records_.size());
    for (const CSubscriber* record : records_) columns_.Add(*record);
    Sort(sortColumn_);
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
    return row >= 0 && row < static_cast<int>(order_.size()) ? records_[order_[static_cast<size_t>(row)]] : nullptr;
}

Serializable* SubscriberModel::RecordAt(int row) const { return SubscriberAt(row); }

int SubscriberModel::RowOfPosition(uint32_t at) const {
    if (rowOfPosition_.empty() && !order_.empty()) {
        rowOfPosition_.assign(records_.size(), -1);
        for (size_t row = 0; row < order_.size(); ++row) rowOfPosition_[order_[row]] = static_cast<int>(row);
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

int SubscriberModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kSubscriberColumns; }

QVariant SubscriberModel::data(const QModelIndex& index, int role) const {
    const CSubscriber* subscriber = SubscriberAt(index.row());
    if (!subscriber) return {};
    switch (role) {
        case Qt::DisplayRole:
            switch (index.column()) {
                case kSubscriberName: return vorla::FromWindows1252(subscriber->GetName());
                case kSubscriberPin: return vorla::FromWindows1252(subscriber->GetPIN());
                case kSubscriberSplit: return vorla::FromWindows1252(subscriber->GetMaxLength());
                case kSubscriberService:
                    return subscriber->GetService() ? vorla::FromWindows1252(subscriber->GetService()->GetName())
                                                    : QString();
            }
            return {};
        case Qt::DecorationRole: return index.column() == kSubscriberName ? QVariant(icon_) : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == kSubscriberPin || index.column() == kSubscriberSplit
                       ? QVariant(int(Qt::AlignCenter))
                       : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QVariant SubscriberModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kHeaders[] = {"Name", "PIN", "Split", "Service"};
    return section >= 0 && section < kSubscriberColumns ? QString::fromLatin1(kHeaders[section]) : QString();
}
