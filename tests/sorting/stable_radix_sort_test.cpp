// The radix sort under the log window against std::stable_sort: keys of every width up to 64
// bits (narrow ones share a word with the position, wide ones do not), few distinct keys so
// ties are common, and sorts one after another in alternating directions over the same rows,
// which is where the kept rows, complemented keys and mirrored digit counts must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "sorting/stable_radix_sort.h"

namespace {

struct Case {
    unsigned keyBits;
    size_t positionCount;
};

TEST(StableRadixSort, MatchesAStableComparisonSortInBothDirectionsAndAgain) {
    std::mt19937_64 rng(7);
    const Case cases[] = {{0, 10},     {1, 100},    {9, 3000}, {34, 5000},
                          {47, 70000}, {48, 70000}, {63, 200}, {64, 4000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key bits " << c.keyBits << ", positions " << c.positionCount);
        const uint64_t mask = c.keyBits >= 64 ? ~uint64_t(0) : (uint64_t(1) << c.keyBits) - 1;
        // A few distinct keys, including both ends of the range, so many rows tie.
        std::vector<uint64_t> pool = {0, mask, mask >> 1};
        for (int i = 0; i < 20; ++i)
            pool.push_back(rng() & mask);
        std::vector<uint64_t> keyOf(c.positionCount);
        for (auto& key : keyOf)
            key = pool[rng() % pool.size()];
        // Some positions left out, as rows a damaged file leaves are not shown.
        std::vector<uint32_t> rows;
        for (uint32_t at = 0; at < c.positionCount; ++at)
            if (rng() % 5 != 0) rows.push_back(at);
        std::shuffle(rows.begin(), rows.end(), rng);

        vorla::StableRadixSort sorter;
        sorter.Load(c.keyBits, c.positionCount, rows, [&](uint32_t at) { return keyOf[at]; });
        std::vector<uint32_t> expected = rows;
        for (bool descending : {true, true, false, true, false, false}) {
            std::stable_sort(expected.begin(), expected.end(), [&](uint32_t a, uint32_t b) {
                return descending ? keyOf[a] > keyOf[b] : keyOf[a] < keyOf[b];
            });
            sorter.Sort(descending, rows);
            ASSERT_EQ(rows, expected) << (descending ? "descending" : "ascending");
        }
    }
}

TEST(StableRadixSort, NoRowsAndOneRow) {
    vorla::StableRadixSort sorter;
    std::vector<uint32_t> rows;
    sorter.Load(20, 0, rows, [](uint32_t) { return uint64_t(0); });
    sorter.Sort(true, rows);
    EXPECT_TRUE(rows.empty());
    rows = {3};
    sorter.Load(20, 4, rows, [](uint32_t) { return uint64_t(12345); });
    sorter.Sort(true, rows);
    EXPECT_EQ(rows, std::vector<uint32_t>{3});
}

}  // namespace
