#pragma once
// The LogList as a table. The model keeps only an order: the list position of the record in
// each row, plus each record's local day and time of day so a sort does not convert times.
// A sort packs each row's column keys into one integer (text columns by each text's rank
// among all texts of that column, worked out once and kept until the rows change) and orders
// the rows with a stable radix sort that keeps the column's keys, so sorting time grows
// linearly with the log and sorting the same column again only moves rows. Texts are
// made from the record when the view asks for them. Records appended to the list after the
// last sort show at the end, as they arrive.

#include <QAbstractTableModel>

#include <cstdint>
#include <vector>

#include "sorting/stable_radix_sort.h"

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
        int32_t day = 0;        // local calendar date as days since 1970-01-01
        int32_t timeOfDay = 0;  // local seconds after midnight
    };
    // The texts a sort compares: names byte-wise, statuses and messages without case.
    enum TextKind { kNameText, kStatusText, kMessageText, kTextKindCount };
    // Each row's rank among the texts of its kind, by list position: equal texts share a
    // rank, so comparing ranks compares the texts.
    const std::vector<uint32_t>& TextRanks(TextKind kind);
    // Drops the text ranks and the sorter's rows; every change of the rows must call it.
    void ForgetSortKeys();
    void MakeSortKeys();
    void SortRows();
    void AppendKeys(size_t from);

    CObList* list_ = nullptr;
    std::vector<uint32_t> order_;  // row -> list position
    std::vector<DayKeys> keys_;    // list position -> keys
    size_t seen_ = 0;              // list positions already shown or skipped
    // Ranks by list position; the records' texts never change once they are logged, so the
    // ranks hold until rows come or go.
    std::vector<uint32_t> textRanks_[kTextKindCount];
    bool textRanksFresh_[kTextKindCount] = {};
    uint32_t rankCount_[kTextKindCount] = {};
    // Bounds of every day and time of day in keys_.
    int32_t dayLow_ = 0, dayHigh_ = 0, timeLow_ = 0, timeHigh_ = 0;
    // The current column's packed sort keys, row by row; made when the column changes and kept
    // while the rows stay, so sorting again (the second click that reverses the order) only
    // moves rows.
    vorla::StableRadixSort radix_;
    std::vector<uint64_t> keysByPosition_;  // work array of MakeSortKeys
    int sortKeysColumn_ = -1;
    int sortColumn_ = kDate;
    int sortOrder_ = 1;
};
