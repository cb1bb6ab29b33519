#include "service_model.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

#include "directory_edits.h"
#include "ob_list.h"
#include "service.h"
#include "windows1252.h"

namespace {

std::string ColumnText(const CService& service, int column) {
    switch (column) {
        case kServiceName: return service.GetName();
        case kServiceAccess: return service.GetAccessNumber();
        case kServicePort: return service.GetPort();
        case kServiceBaud: return std::to_string(service.GetBaudRate());
        case kServiceModem: return service.GetModemName();
        case kServiceScript: return service.GetScriptFile();
    }
    return {};
}

}  // namespace

ServiceModel::ServiceModel(QObject* parent) : QAbstractTableModel(parent) {
    icon_ = QIcon::fromTheme(QStringLiteral("modem"), QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon));
}

void ServiceModel::SetList(const CObList* list, const std::function<void(size_t)>& progress) {
    beginResetModel();
    list_ = list;
    rows_.clear();
    if (list_) {
        rows_.reserve(list_->GetCount());
        for (Serializable* record : *list_) {
            if (auto* service = As<CService>(record)) rows_.push_back(service);
            if (progress) progress(rows_.size());
        }
    }
    SortRows();
    endResetModel();
}

void ServiceModel::Reload() { SetList(list_); }

void ServiceModel::Sort(int column) {
    emit layoutAboutToBeChanged();
    const QModelIndexList before = persistentIndexList();
    std::vector<std::pair<Serializable*, int>> kept;
    kept.reserve(static_cast<size_t>(before.size()));
    for (const QModelIndex& index : before) kept.emplace_back(RecordAt(index.row()), index.column());
    sortColumn_ = column >= 0 && column < kServiceColumns ? column : 0;
    SortRows();
    QModelIndexList after;
    after.reserve(before.size());
    for (const auto& [record, col] : kept) after.push_back(index(RowOf(record), col));
    changePersistentIndexList(before, after);
    emit layoutChanged();
}

void ServiceModel::SortRows() {
    if (sortColumn_ == kServiceBaud) {
        std::stable_sort(rows_.begin(), rows_.end(),
                         [](const CService* a, const CService* b) { return a->GetBaudRate() < b->GetBaudRate(); });
    } else {
        std::vector<std::pair<std::string, CService*>> keyed;
        keyed.reserve(rows_.size());
        for (CService* service : rows_) keyed.emplace_back(FoldAsciiCase(ColumnText(*service, sortColumn_)), service);
        std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < rows_.size(); ++i) rows_[i] = keyed[i].second;
    }
    rowIndex_.Forget();
}

CService* ServiceModel::ServiceAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : nullptr;
}

Serializable* ServiceModel::RecordAt(int row) const { return ServiceAt(row); }

int ServiceModel::RowOf(const Serializable* record) const { return rowIndex_.RowOf(rows_, record); }

bool ServiceModel::RowMatches(int row, const std::string& text) const {
    const CService* service = ServiceAt(row);
    if (!service) return false;
    if (text.empty()) return true;
    const std::string wanted = FoldAsciiCase(text);
    for (int column : {kServiceName, kServiceAccess})
        if (FoldAsciiCase(ColumnText(*service, column)).find(wanted) != std::string::npos) return true;
    return false;
}

int ServiceModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int ServiceModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kServiceColumns; }

QVariant ServiceModel::data(const QModelIndex& index, int role) const {
    const CService* service = ServiceAt(index.row());
    if (!service) return {};
    switch (role) {
        case Qt::DisplayRole: return vorla::FromWindows1252(ColumnText(*service, index.column()));
        case Qt::DecorationRole: return index.column() == kServiceName ? QVariant(icon_) : QVariant();
        case Qt::TextAlignmentRole:
            return index.column() == kServicePort || index.column() == kServiceBaud
                       ? QVariant(int(Qt::AlignCenter))
                       : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QVariant ServiceModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kHeaders[] = {"Service Name", "Access Number", "Port", "Baud", "Modem Type", "RKL Script"};
    return section >= 0 && section < kServiceColumns ? QString::fromLatin1(kHeaders[section]) : QString();
}
