#include "subscriber_model.h"

#include <QApplication>
#include <QStyle>

#include "ob_list.h"
#include "service.h"
#include "subscriber.h"
#include "subscriber_order.h"
#include "windows1252.h"

SubscriberModel::SubscriberModel(QObject* parent) : QAbstractTableModel(parent) {
    icon_ = QIcon::fromTheme(QStringLiteral("avatar-default"),
                             QApplication::style()->standardIcon(QStyle::SP_FileIcon));
}

void SubscriberModel::SetList(const CObList* list, const std::function<void(size_t)>& progress) {
    beginResetModel();
    list_ = list;
    rows_.clear();
    if (list_) {
        rows_.reserve(list_->GetCount());
        for (Serializable* record : *list_) {
            if (auto* subscriber = As<CSubscriber>(record)) rows_.push_back(subscriber);
            if (progress) progress(rows_.size());
        }
    }
    SortSubscribers(rows_, sortColumn_);
    rowIndex_.Forget();
    endResetModel();
}

void SubscriberModel::Reload() { SetList(list_); }

void SubscriberModel::Sort(int column) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<std::pair<Serializable*, int>> kept;
    kept.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before) kept.emplace_back(RecordAt(index.row()), index.column());
    sortColumn_ = column >= 0 && column < kSubscriberColumns ? column : 0;
    SortSubscribers(rows_, sortColumn_);
    rowIndex_.Forget();
    QModelIndexList after;
    after.reserve(before.size());
    for (const auto& [record, col] : kept) after.push_back(index(RowOf(record), col));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

CSubscriber* SubscriberModel::SubscriberAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : nullptr;
}

Serializable* SubscriberModel::RecordAt(int row) const { return SubscriberAt(row); }

int SubscriberModel::RowOf(const Serializable* record) const {
    return rowIndex_.RowOf(rows_, record);
}

bool SubscriberModel::RowMatches(int row, const std::string& text) const {
    const CSubscriber* subscriber = SubscriberAt(row);
    return subscriber && SubscriberMatches(*subscriber, text);
}

int SubscriberModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
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
