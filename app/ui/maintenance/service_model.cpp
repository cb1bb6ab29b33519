#include "ui/maintenance/service_model.h"

#include <QApplication>
#include <QStyle>

#include <algorithm>

#include "directory/directory_edits.h"
#include "directory/service.h"
#include "text/windows1252.h"

namespace {

std::string ColumnText(const CService& service, int column) {
    switch (column) {
        case kServiceName:
            return service.GetName();
        case kServiceAccess:
            return service.GetAccessNumber();
        case kServicePort:
            return service.GetPort();
        case kServiceBaud:
            return std::to_string(service.GetBaudRate());
        case kServiceModem:
            return service.GetModemName();
        case kServiceScript:
            return service.GetScriptFile();
    }
    return {};
}

}  // namespace

ServiceModel::ServiceModel(QObject* parent)
    : RecordTableModel({{"Service Name", false},
                        {"Access Number", false},
                        {"Port", true},
                        {"Baud", true},
                        {"Modem Type", false},
                        {"RKL Script", false}},
                       QIcon::fromTheme(QStringLiteral("modem"),
                                        QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon)),
                       parent) {}

void ServiceModel::LoadRows(const CObList* list, const std::function<void(size_t)>& progress) {
    rows_.clear();
    if (list) rows_.reserve(list->GetCount());
    TakeRecords<CService>(list, progress, [this](CService* service) { rows_.push_back(service); });
}

void ServiceModel::SortRows() {
    if (SortColumn() == kServiceBaud) {
        std::stable_sort(rows_.begin(), rows_.end(), [](const CService* a, const CService* b) {
            return a->GetBaudRate() < b->GetBaudRate();
        });
    } else {
        std::vector<std::pair<std::string, CService*>> keyed;
        keyed.reserve(rows_.size());
        for (CService* service : rows_)
            keyed.emplace_back(FoldAsciiCase(ColumnText(*service, SortColumn())), service);
        std::stable_sort(keyed.begin(), keyed.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 0; i < rows_.size(); ++i)
            rows_[i] = keyed[i].second;
    }
    rowIndex_.Forget();
}

CService* ServiceModel::ServiceAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : nullptr;
}

Serializable* ServiceModel::RecordAt(int row) const {
    return ServiceAt(row);
}

int ServiceModel::RowOf(const Serializable* record) const {
    return rowIndex_.RowOf(rows_, record);
}

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

QString ServiceModel::Text(int row, int column) const {
    return vorla::FromWindows1252(ColumnText(*ServiceAt(row), column));
}
