#pragma once
// A sorted one-column list over a directory list (groups, preset messages, or subscribers by
// name), ordered by its text without regard to case, as a sorted list box is.

#include <QAbstractListModel>

#include <string>
#include <vector>

#include "sorting/stable_radix_sort.h"
#include "ui/maintenance/record_model.h"

class RecordListModel : public RecordModel<QAbstractListModel> {
    Q_OBJECT
public:
    // The record's text, which must live as long as the record. A plain function, so a
    // lambda returning a temporary string cannot be passed and leave the sort dangling.
    using TextOf = const std::string& (*)(const Serializable& record);
    RecordListModel(TextOf textOf, QObject* parent = nullptr);

    void Resort() override;

    Serializable* RecordAt(int row) const override;
    int RowOf(const Serializable* record) const override;
    bool RowMatches(int row, const std::string& text) const override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

protected:
    void LoadRows(const CObList* list, const std::function<void(size_t)>& progress) override;
    void SortRows() override;

private:
    TextOf textOf_;
    std::vector<Serializable*> rows_;
    vorla::StableRadixSort radix_;
    mutable LazyRowIndex rowIndex_;
};

// The text of a row the way the list shows it: one line.
QString OneLine(const std::string& text);
