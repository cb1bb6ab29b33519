#pragma once
// Service Maintenance's list: one row per service of the directory's list, six columns, sorted
// ascending by one of them ("Baud" by its number, the others by text without regard to case).

#include <vector>

#include "ui/maintenance/record_table_model.h"

class CService;

inline constexpr int kServiceColumns = 6;
enum ServiceColumn {
    kServiceName,
    kServiceAccess,
    kServicePort,
    kServiceBaud,
    kServiceModem,
    kServiceScript
};

class ServiceModel : public RecordTableModel {
    Q_OBJECT
public:
    explicit ServiceModel(QObject* parent = nullptr);

    CService* ServiceAt(int row) const;
    Serializable* RecordAt(int row) const override;
    int RowOf(const Serializable* record) const override;
    bool RowMatches(int row, const std::string& text) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;

protected:
    void LoadRows(const CObList* list, const std::function<void(size_t)>& progress) override;
    void SortRows() override;
    QString Text(int row, int column) const override;

private:
    std::vector<CService*> rows_;
    mutable LazyRowIndex rowIndex_;
};
