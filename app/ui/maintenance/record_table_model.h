#pragma once
// A maintenance list with columns (Subscriber and Service Maintenance): one row per record,
// a header, the record's icon by the first column, some columns centred, sorted ascending by
// one column. Texts are made from the record when a view asks.

#include <QAbstractTableModel>
#include <QIcon>

#include <vector>

#include "ui/maintenance/record_model.h"

class RecordTableModel : public RecordModel<QAbstractTableModel> {
    Q_OBJECT
public:
    struct Column {
        const char* header;
        bool centered;
    };

    // Sorts by the column (an unknown one is the first), keeping the views' selections.
    void Sort(int column);
    void Resort() override;
    int SortColumn() const { return sortColumn_; }

    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    RecordTableModel(std::vector<Column> columns, QIcon icon, QObject* parent);

    // The cell's text; `row` is one of the model's.
    virtual QString Text(int row, int column) const = 0;
    // Before a Resort: the records' fields changed.
    virtual void RecordsChanged() {}
    // Puts the rows in the sort column's order, telling the views.
    virtual void MoveRowsToOrder();

private:
    std::vector<Column> columns_;
    QIcon icon_;
    int sortColumn_ = 0;
};
