#pragma once
// The LogList as a table. The model keeps only an order: the list position of the record in
// each row, sorted with std::stable_sort over those positions, plus each record's local day
// and time of day so a sort does not convert times at every comparison. Texts are made from
// the record when the view asks for them. Records appended to the list after the last sort
// show at the end, as they arrive.

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

class CLogObject;
class CObList;

class CLogListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { kDate, kTime, kName, kStatus, kMessage, kColumnCount };

    explicit CLogListModel(CObList* list, QObject* parent = nullptr);

    CObList* List() const { return list_; }
    // Shows another list (the application replaced its lists), or the same one afresh.
    void SetList(CObList* list);
    // One row per record of the list in list order, then sorted by the current column.
    void Reload();
    // Sorts by the column with the order (1 ascending, -1 descending).
    void Sort(int column, int order);
    int SortColumn() const { return sortColumn_; }
    int SortOrder() const { return sortOrder_; }
    // Adds rows at the end for records the list gained at its tail; returns how many.
    int SyncAppended();

    const CLogObject* RecordAt(int row) const;
    // Removes the rows' records from the LogList and frees them; the other rows keep their
    // order.
    void DeleteRows(std::vector<int> rows);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    // The text of a column for a record, as shown and printed.
    static QString ColumnText(const CLogObject& record, int column);

private:
    struct DayKeys {
        int32_t day = 0;        // local calendar date, comparable
        int32_t timeOfDay = 0;  // local seconds after midnight
    };
    // The sort key of one row: the record's list position, its day and time of day, and the
    // first bytes of the text the column compares, so most comparisons read this array
    // alone instead of chasing records across memory.
    struct SortKey {
        uint64_t prefix[4] = {};
        uint32_t length = 0;
        int32_t day = 0;
        int32_t timeOfDay = 0;
        uint32_t at = 0;
    };
    static constexpr size_t kPrefixBytes = sizeof(SortKey::prefix);
    SortKey MakeSortKey(uint32_t at) const;
    int CompareKeys(const SortKey& a, const SortKey& b) const;
    int CompareText(const SortKey& a, const SortKey& b, bool foldCase) const;
    void AppendKeys(size_t from);

    CObList* list_ = nullptr;
    std::vector<uint32_t> order_;  // row -> list position
    std::vector<DayKeys> keys_;    // list position -> keys
    size_t seen_ = 0;              // list positions already shown or skipped
    int sortColumn_ = kDate;
    int sortOrder_ = 1;
};
