#pragma once
// The find field above a maintenance list: typing part of a name (or PIN) narrows the list
// through a filter proxy over the same model; an empty field shows every row. Rows selected
// before they were filtered out stay selected and count, and show selected again when the
// filter lets them back in.

#include <QSortFilterProxyModel>

#include <string>
#include <unordered_set>
#include <vector>

class QItemSelectionModel;
class QLineEdit;
class RecordRows;
class Serializable;

class FindProxy : public QSortFilterProxyModel {
    Q_OBJECT
public:
    FindProxy(QAbstractItemModel* source, const RecordRows& rows, QObject* parent = nullptr);
    void SetText(const std::string& text);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    const RecordRows& rows_;
    std::string text_;
};

class FindFilter : public QObject {
    Q_OBJECT
public:
    // The selection model must be over `proxy`; the field's edits drive the filter.
    FindFilter(QLineEdit* field, FindProxy* proxy, const RecordRows& rows, QItemSelectionModel* selection,
               QObject* parent = nullptr);

    // The selected records: visible ones top to bottom, then the ones the filter hides.
    std::vector<Serializable*> Selected() const;
    int SelectedCount() const;
    // The one selected record, or null when none or several are selected.
    Serializable* Single() const;
    template <class Record>
    std::vector<Record*> SelectedAs() const {
        std::vector<Record*> records;
        for (Serializable* item : Selected())
            if (auto* record = dynamic_cast<Record*>(item)) records.push_back(record);
        return records;
    }
    // Selects exactly these records (those the filter hides are kept aside).
    void Select(const std::vector<Serializable*>& records);
    // Drops the hidden selections (after a change that may have freed records).
    void ForgetHidden() { hidden_.clear(); }

signals:
    void SelectionCountChanged();

private:
    void Apply(const QString& text);
    QLineEdit* field_;
    FindProxy* proxy_;
    const RecordRows& rows_;
    QItemSelectionModel* selection_;
    std::vector<Serializable*> hidden_;
};
