#pragma once
// The find field above a maintenance list: typing part of a name (or PIN) narrows the list
// through a filter proxy over the same model; an empty field shows every row. Filtering never
// changes the selection the window acts on by itself: rows selected before they were filtered
// out are kept aside and show selected again when the filter lets them back in.

#include <QSortFilterProxyModel>

#include <string>
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
    // What a selected row the filter hides is.
    enum class Hidden {
        // Out of the selection: a list the window's commands act on acts only on the rows
        // the user sees selected, and a change of the selection by the user (a plain click
        // on one row) forgets the hidden ones. Until then they are only kept aside to show
        // selected again.
        Aside,
        // Still chosen and counted: a choice that is part of the entry (a group's members),
        // which narrowing the list to find one more person must not undo.
        Chosen,
    };
    // The selection model must be over `proxy`; the field's edits drive the filter.
    FindFilter(QLineEdit* field, FindProxy* proxy, const RecordRows& rows, QItemSelectionModel* selection,
               QObject* parent = nullptr, Hidden hidden = Hidden::Aside);

    // The selected records: visible ones top to bottom, then (Chosen) the ones the filter hides.
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

signals:
    // The user or Select changed the selection: the window shows the selected record.
    void SelectionChanged();
    // The number of selected rows may have changed, the filter's doing included: counters
    // and buttons follow; the entry area stays as it is.
    void SelectionCountChanged();

private:
    std::vector<Serializable*> Shown() const;
    void SelectQuietly(const std::vector<Serializable*>& records);
    void Apply(const QString& text);
    QLineEdit* field_;
    FindProxy* proxy_;
    const RecordRows& rows_;
    QItemSelectionModel* selection_;
    Hidden hiddenAre_;
    std::vector<Serializable*> hidden_;
    bool quiet_ = false;  // the selection is being changed here, not by the user
};
