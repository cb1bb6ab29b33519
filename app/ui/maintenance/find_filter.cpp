#include "ui/maintenance/find_filter.h"

#include <QItemSelectionModel>
#include <QLineEdit>

#include <algorithm>

#include "text/windows1252.h"
#include "ui/maintenance/record_rows.h"

FindProxy::FindProxy(QAbstractItemModel* source, const RecordRows& rows, QObject* parent)
    : QSortFilterProxyModel(parent), rows_(rows) {
    setSourceModel(source);
}

void FindProxy::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    invalidateFilter();
}

bool FindProxy::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return text_.empty() || rows_.RowMatches(sourceRow, text_);
}

FindFilter::FindFilter(QLineEdit* field, FindProxy* proxy, const RecordRows& rows,
                       QItemSelectionModel* selection, QObject* parent, Hidden hidden)
    : QObject(parent), field_(field), proxy_(proxy), rows_(rows), selection_(selection), hiddenAre_(hidden) {
    field_->setPlaceholderText(QStringLiteral("Find"));
    field_->setClearButtonEnabled(true);
    connect(field_, &QLineEdit::textChanged, this, &FindFilter::Apply);
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] {
        if (quiet_) return;
        if (hiddenAre_ == Hidden::Aside) hidden_.clear();
        emit SelectionCountChanged();
        emit SelectionChanged();
    });
    // The rows were made again (records came or went): the selection model dropped its
    // selection without a word, and a record kept aside may have been freed.
    connect(proxy_, &QAbstractItemModel::modelReset, this, [this] {
        hidden_.clear();
        emit SelectionCountChanged();
    });
}

std::vector<Serializable*> FindFilter::Shown() const {
    std::vector<Serializable*> records;
    QModelIndexList rows = selection_->selectedRows();
    std::sort(rows.begin(), rows.end(),
              [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
    records.reserve(static_cast<size_t>(rows.size()));
    for (const QModelIndex& index : rows)
        if (Serializable* record = rows_.RecordAt(proxy_->mapToSource(index).row()))
            records.push_back(record);
    return records;
}

std::vector<Serializable*> FindFilter::Selected() const {
    std::vector<Serializable*> records = Shown();
    if (hiddenAre_ == Hidden::Chosen) records.insert(records.end(), hidden_.begin(), hidden_.end());
    return records;
}

int FindFilter::SelectedCount() const {
    return static_cast<int>(selection_->selectedRows().size()) +
           (hiddenAre_ == Hidden::Chosen ? static_cast<int>(hidden_.size()) : 0);
}

Serializable* FindFilter::Single() const {
    if (SelectedCount() != 1) return nullptr;
    const std::vector<Serializable*> selected = Selected();
    return selected.empty() ? nullptr : selected.front();
}

void FindFilter::SelectQuietly(const std::vector<Serializable*>& records) {
    const bool wasQuiet = quiet_;
    quiet_ = true;
    hidden_.clear();
    QItemSelection chosen;
    const int lastColumn = std::max(0, proxy_->columnCount() - 1);
    for (Serializable* record : records) {
        const int sourceRow = rows_.RowOf(record);
        if (sourceRow < 0) continue;
        const QModelIndex shown = proxy_->mapFromSource(proxy_->sourceModel()->index(sourceRow, 0));
        if (!shown.isValid()) {
            hidden_.push_back(record);
            continue;
        }
        chosen.select(shown, proxy_->index(shown.row(), lastColumn));
    }
    selection_->select(chosen, QItemSelectionModel::ClearAndSelect);
    quiet_ = wasQuiet;
}

void FindFilter::Select(const std::vector<Serializable*>& records) {
    SelectQuietly(records);
    emit SelectionCountChanged();
    emit SelectionChanged();
}

void FindFilter::Apply(const QString& text) {
    std::vector<Serializable*> selected = Shown();
    selected.insert(selected.end(), hidden_.begin(), hidden_.end());
    quiet_ = true;
    proxy_->SetText(vorla::ToWindows1252(text));
    SelectQuietly(selected);
    quiet_ = false;
    emit SelectionCountChanged();
}
