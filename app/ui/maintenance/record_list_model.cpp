#include "ui/maintenance/record_list_model.h"

#include <bit>

#include "directory/directory_edits.h"
#include "sorting/text_order.h"
#include "text/windows1252.h"

QString OneLine(const std::string& text) {
    QString line = vorla::FromWindows1252(text);
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return line;
}

RecordListModel::RecordListModel(TextOf textOf, QObject* parent)
    : RecordModel<QAbstractListModel>(parent), textOf_(std::move(textOf)) {}

void RecordListModel::LoadRows(const CObList* list, const std::function<void(size_t)>& progress) {
    rows_.clear();
    if (list) rows_.reserve(list->GetCount());
    TakeRecords<Serializable>(list, progress, [this](Serializable* record) { rows_.push_back(record); });
}

void RecordListModel::Resort() {
    MoveRows([this] { SortRows(); });
}

void RecordListModel::SortRows() {
    // Ranked byte-wise and ordered by a radix sort, so the Group window's list of every
    // subscriber opens in time linear in the directory.
    std::vector<vorla::TextRef> texts;
    texts.reserve(rows_.size());
    for (size_t at = 0; at < rows_.size(); ++at)
        texts.push_back(vorla::TextRef::Of(textOf_(*rows_[at]), static_cast<uint32_t>(at)));
    std::vector<uint32_t> ranks;
    const uint32_t count = vorla::RankTexts(texts, vorla::kAsciiFold, rows_.size(), ranks);
    std::vector<uint32_t> order(rows_.size());
    for (size_t at = 0; at < order.size(); ++at)
        order[at] = static_cast<uint32_t>(at);
    radix_.Load(static_cast<unsigned>(std::bit_width(count > 0 ? count - 1 : 0u)), rows_.size(), order,
                [&ranks](uint32_t at) { return ranks[at]; });
    radix_.Sort(false, order);
    std::vector<Serializable*> sorted;
    sorted.reserve(rows_.size());
    for (uint32_t at : order)
        sorted.push_back(rows_[at]);
    rows_.swap(sorted);
    rowIndex_.Forget();
}

Serializable* RecordListModel::RecordAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<size_t>(row)] : nullptr;
}

int RecordListModel::RowOf(const Serializable* record) const {
    return rowIndex_.RowOf(rows_, record);
}

bool RecordListModel::RowMatches(int row, const std::string& text) const {
    if (text.empty()) return true;
    const Serializable* record = RecordAt(row);
    return record && FoldAsciiCase(textOf_(*record)).find(FoldAsciiCase(text)) != std::string::npos;
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    const Serializable* record = RecordAt(index.row());
    if (!record) return {};
    if (role == Qt::DisplayRole) return OneLine(textOf_(*record));
    if (role == Qt::ToolTipRole) return vorla::FromWindows1252(textOf_(*record));
    return {};
}
