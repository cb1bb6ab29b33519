#pragma once
// The recipient list's rows, kept in the application's DisplayList: a subscriber row, a group
// row (expandable) or a member row under an expanded group. Plain C++ so the rules are tested
// without widgets. The rows are the DisplayList's own objects; this class only keeps them in
// display order.

#include <string>
#include <vector>

class CDisplayObject;
class CObList;
class CSubscriber;

enum class RowKind { Subscriber, Group, Member, Empty };
RowKind KindOf(const CDisplayObject& row);
// The line's text: the subscriber's name, or the group's.
std::string RowName(const CDisplayObject& row);
// The display order: by primary key (the group's name for group and member rows, else the
// subscriber's name), then by the subscriber's name (none for a group row), bytewise.
bool RowBefore(const CDisplayObject& a, const CDisplayObject& b);

class SelectionRows {
public:
    explicit SelectionRows(CObList* displayList = nullptr);
    void SetDisplayList(CObList* displayList);

    // Sorts the DisplayList's current rows (after a load).
    void Load();
    // Frees every row of the DisplayList and makes one per subscriber and one per group.
    void Fill(const CObList* subscribers, const CObList* groups);
    // Whether the rows hold one row for each subscriber and each group and no other: a
    // directory changed by another program (an import from the shell) keeps its old rows.
    bool ListsEveryRecordOnce(const CObList* subscribers, const CObList* groups) const;

    int Count() const { return static_cast<int>(rows_.size()); }
    CDisplayObject* At(int index) const { return rows_[index]; }
    int IndexOf(const CDisplayObject* row) const;

    // Adds one member row per member below an unexpanded group row (true), or removes as many
    // rows below an expanded one as it has members. Returns the number of rows added (> 0)
    // or removed (< 0); 0 for a row that is not a group.
    int ToggleGroup(int index);

    // The first row at or after `from` (wrapping) whose name starts with `prefix`, compared
    // without regard to case; -1 when none.
    int FindPrefix(const std::string& prefix, int from = 0) const;

private:
    CObList* list_ = nullptr;
    std::vector<CDisplayObject*> rows_;
};

// The recipients of a send, in row order: subscriber rows give their subscriber, group rows
// every member in the group's order; member rows give nothing (they are selected only by
// keyboard mistakes, and their group or own line decides).
std::vector<CSubscriber*> RecipientsOf(const std::vector<const CDisplayObject*>& selectedRows);
