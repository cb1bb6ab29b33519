#include "ui/maintenance/record_table_model.h"

#include <utility>

RecordTableModel::RecordTableModel(std::vector<Column> columns, QIcon icon, QObject* parent)
    : RecordModel<QAbstractTableModel>(parent), columns_(std::move(columns)), icon_(std::move(icon)) {}

void RecordTableModel::Sort(int column) {
    sortColumn_ = column >= 0 && column < columnCount() ? column : 0;
    MoveRowsToOrder();
}

void RecordTableModel::Resort() {
    RecordsChanged();
    Sort(sortColumn_);
}

void RecordTableModel::MoveRowsToOrder() {
    MoveRows([this] { SortRows(); });
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    switch (role) {
        case Qt::DisplayRole:
            return Text(index.row(), index.column());
        case Qt::DecorationRole:
            return index.column() == 0 ? QVariant(icon_) : QVariant();
        case Qt::TextAlignmentRole:
            return columns_[static_cast<size_t>(index.column())].centered
                       ? QVariant(int(Qt::AlignCenter))
                       : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    }
    return {};
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section >= 0 && section < columnCount()
               ? QString::fromLatin1(columns_[static_cast<size_t>(section)].header)
               : QString();
}
