// The log window's sort against a plain comparison sort written straight from the sort rules:
// every column, both orders, one sort after another (so ties must keep the previous order),
// over records built to collide: shared days and times, texts equal but for case, accented
// capitals, prefixes of each other, zero bytes and long shared beginnings. Also after records
// arrive and after rows are deleted, when the model must not reuse stale text ranks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "archive/ob_list.h"
#include "paging/log_object.h"
#include "tests/qt_support/model_check.h"
#include "ui/windows/log_list_model.h"

namespace {

using namespace std::string_literals;

unsigned char FoldByte(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    return c;
}

int CompareIgnoringCase(const std::string& a, const std::string& b) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        const unsigned char x = FoldByte(static_cast<unsigned char>(a[i]));
        const unsigned char y = FoldByte(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

template <typename T>
int Compare(const T& a, const T& b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The rules of the log window's columns, one comparison each.
int CompareByColumn(const CLogObject& a, const CLogObject& b, int column) {
    const int date = Compare(a.GetDate(), b.GetDate());
    const int time = Compare(a.GetTimeOfDay(), b.GetTimeOfDay());
    const int name = Compare(a.GetName(), b.GetName());  // byte-wise
    switch (column) {
        case CLogListModel::kDate:
            return date ? date : time ? time : name;
        case CLogListModel::kTime:
            return time ? time : date ? date : name;
        case CLogListModel::kName:
            return name ? name : date ? date : time;
        case CLogListModel::kStatus:
            return CompareIgnoringCase(a.GetStatus(), b.GetStatus());
        default:
            return CompareIgnoringCase(a.GetMessage(), b.GetMessage());
    }
}

void ReferenceSort(std::vector<const CLogObject*>& rows, int column, int order) {
    std::stable_sort(rows.begin(), rows.end(), [column, order](const CLogObject* a, const CLogObject* b) {
        return CompareByColumn(*a, *b, column) * order < 0;
    });
}

class LogSortTest : public ::testing::Test {
protected:
    // Texts chosen to tie and nearly tie under each rule.
    std::string PickText(bool longShared) {
        static const std::vector<std::string> pool = {
            "",
            "Ann",
            "ann",
            "ANN",
            "Ann ",
            "Anne",
            "Bob",
            "bob",
            "\xC9mile"s,
            "\xE9mile"s,
            "\xD7x"s,
            "\xF7x"s,
            "Zed",
            "a\0b"s,
            "a\0B"s,
            "a",
            "Message Sent Successfully!",
            "message sent successfully!",
            "Message Split 1 of 2 Sent Ok",
        };
        std::string text = pool[rng() % pool.size()];
        // Beyond the first 32 bytes, and through the bucket passes of many shared texts.
        if (longShared) text = std::string(40, 'x') + text + std::to_string(rng() % 7);
        return text;
    }
    CLogObject* MakeRecord() {
        // A handful of days and times of day, so equal dates and times are common, plus the
        // ends of the 32-bit time range.
        static const uint32_t days[] = {0, 1709596800, 1709683200, 1709769600, 4294857600u};
        static const uint32_t times[] = {0, 1, 9 * 3600, 9 * 3600 + 1, 15 * 3600, 51199};
        const uint32_t time = days[rng() % 5] + times[rng() % 6];
        return new CLogObject(time, PickText(rng() % 4 == 0), PickText(rng() % 4 == 0),
                              PickText(rng() % 3 == 0), 0);
    }
    void Append(int count) {
        for (int i = 0; i < count; ++i) {
            CLogObject* record = MakeRecord();
            list->AddTail(record);
            expected.push_back(record);
        }
    }
    std::vector<const CLogObject*> Shown(const CLogListModel& model) const {
        std::vector<const CLogObject*> rows;
        for (int row = 0; row < model.rowCount(); ++row)
            rows.push_back(model.RecordAt(row));
        return rows;
    }
    // Sorts the model and the reference by every column in both orders, in a shuffled
    // sequence, and compares the rows after each sort.
    void SortEveryWay(CLogListModel& model) {
        std::vector<std::pair<int, int>> sorts;
        for (int column = 0; column < CLogListModel::kColumnCount; ++column)
            for (int order : {1, -1})
                sorts.emplace_back(column, order);
        std::shuffle(sorts.begin(), sorts.end(), rng);
        for (auto [column, order] : sorts) {
            model.Sort(column, order);
            ReferenceSort(expected, column, order);
            ASSERT_EQ(Shown(model), expected) << "column " << column << " order " << order;
        }
    }

    std::mt19937 rng{20240305};
    OwningList list{new CObList};
    std::vector<const CLogObject*> expected;
};

}  // namespace

TEST_F(LogSortTest, EveryColumnAndOrderMatchesAStableComparisonSort) {
    for (int size : {0, 1, 2, 31, 33, 700, 3000}) {
        SCOPED_TRACE(size);
        list.reset(new CObList);
        expected.clear();
        Append(size);
        CLogListModel model(list.get());
        CheckModel(&model);
        ReferenceSort(expected, CLogListModel::kDate, 1);  // a new model shows the date order
        ASSERT_EQ(Shown(model), expected);
        for (int round = 0; round < 3; ++round)
            SortEveryWay(model);
    }
}

TEST_F(LogSortTest, ArrivedAndDeletedRowsSortByTheirOwnTexts) {
    Append(500);
    CLogListModel model(list.get());
    CheckModel(&model);
    ReferenceSort(expected, CLogListModel::kDate, 1);
    SortEveryWay(model);

    // New records, whose texts rank among the old ones, first show at the end.
    Append(200);
    EXPECT_EQ(model.SyncAppended(), 200);
    ASSERT_EQ(Shown(model), expected);
    SortEveryWay(model);

    std::vector<int> doomed;
    for (int row = 0; row < model.rowCount(); row += 3)
        doomed.push_back(row);
    std::vector<const CLogObject*> kept;
    for (int row = 0; row < model.rowCount(); ++row)
        if (row % 3 != 0) kept.push_back(model.RecordAt(row));
    model.DeleteRows(doomed);
    expected = kept;
    ASSERT_EQ(Shown(model), expected);
    SortEveryWay(model);
}
