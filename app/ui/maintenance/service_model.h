#pragma once
// Service Maintenance's list: one row per service of the directory's list, six columns, sorted
// ascending by one of them ("Baud" by its number, the others by text without regard to case).
// Texts are made from the record when a view asks.

#include <QAbstractTableModel>
#include <QIcon>

#include <functional>
#include <vector>

#include "record_rows.h"

class CObList;
class CService;

inline constexpr int kServiceColumns = 6;
enum ServiceColumn { kServiceName, kServiceAccess, kServicePort, kServiceBaud, kServiceModem, kServiceScript };

class ServiceModel : public QAbstractTableModel, public RecordRows {
    Q_OBJECT
public:
    explicit ServiceModel(QObject* parent = nullptr);

    void SetList(const CObList* list, const std::function<void(size_t)>& progress = {});
    void Reload();
    // Sorts by the column (0..5), keeping the views' selections.
    void Sort(int column);
    int SortColumn() const { return sortColumn_; }

    CService* ServiceAt(int row) const;
    Serializable* RecordAt(int row) const override;
    int RowOf(const Serializable* record) const override;
    bool RowMatches(int row, const std::string& text) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void SortRows();
    const CObList* list_ = nullptr;
    std::vector<CService*> rows_;
    mutable LazyRowIndex rowIndex_;
    int sortColumn_ = 0;
    QIcon icon_;
};
