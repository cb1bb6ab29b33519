// Text ranks against std::sort with a byte-wise comparison, over lists built to reach every
// path of the eight-bytes-at-a-time ordering: lists long enough for the radix passes and short
// ones for the comparison sort; shared beginnings shorter than, equal to and longer than eight
// and sixteen bytes; texts that are each other's beginnings; zero bytes inside and at the end
// (which must not pass for a text that ended); bytes above 127; case folded by a table; and
// texts given out of position order. Also the counting sort the ranks feed.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "sorting/counting_sort.h"
#include "sorting/text_order.h"

namespace {

using namespace std::string_literals;

int Compare(const std::string& a, const std::string& b, const vorla::ByteFold& fold) {
    for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        const unsigned char x = fold[static_cast<unsigned char>(a[i])];
        const unsigned char y = fold[static_cast<unsigned char>(b[i])];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The ranks a plain sort gives: equal texts share one, counting from 0 without gaps.
std::vector<uint32_t> ExpectedRanks(const std::vector<std::string>& texts, const vorla::ByteFold& fold) {
    std::vector<size_t> order(texts.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return Compare(texts[a], texts[b], fold) < 0; });
    std::vector<uint32_t> ranks(texts.size());
    uint32_t rank = 0;
    for (size_t i = 0; i < order.size(); ++i) {
        if (i > 0 && Compare(texts[order[i - 1]], texts[order[i]], fold) != 0) ++rank;
        ranks[order[i]] = rank;
    }
    return ranks;
}

struct ListCase {
    const char* what;
    size_t count;
    std::vector<std::string> beginnings;  // each text starts with one of these
    std::string alphabet;                 // and goes on with up to `tail` of these bytes
    size_t tail;
    const vorla::ByteFold* fold;
};

TEST(TextOrder, RanksMatchAComparisonSort) {
    const std::string digits = "0123456789 ";
    const std::string mixed = "aAbBzZ \xC0\xE0\xFF"s + '\0';
    const ListCase cases[] = {
        {"names with a shared word", 5000, {"Person ", "person ", "PERSON "}, digits, 12, &vorla::kAsciiFold},
        {"short list", 40, {"", "a", "ab"}, mixed, 4, &vorla::kWindows1252Fold},
        {"one byte short of a word", 3000, {"1234567"}, "\0\x01"s, 3, &vorla::kExactBytes},
        {"a whole word shared", 3000, {"12345678"}, "\0\x01\xFF"s, 3, &vorla::kExactBytes},
        {"beginnings past two words",
         3000,
         {std::string(21, 'q'), std::string(21, 'q') + '\0'},
         "qQ\0"s,
         20,
         &vorla::kAsciiFold},
        {"many equal texts", 4000, {"same", "SAME", "same\0"s}, "", 0, &vorla::kAsciiFold},
        {"every byte", 6000, {""}, std::string("\0\x01\x7F\x80\xFF AZaz", 10), 20, &vorla::kExactBytes},
    };
    std::mt19937 rng(11);
    for (const ListCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::string> texts;
        for (size_t i = 0; i < c.count; ++i) {
            std::string text = c.beginnings[rng() % c.beginnings.size()];
            const size_t length = c.tail == 0 ? 0 : rng() % (c.tail + 1);
            for (size_t k = 0; k < length && !c.alphabet.empty(); ++k)
                text += c.alphabet[rng() % c.alphabet.size()];
            texts.push_back(text);
        }
        const std::vector<uint32_t> expected = ExpectedRanks(texts, *c.fold);
        vorla::TextSorter sorter;
        // Twice through one sorter, in position order and then given backwards, as the
        // windows reuse theirs and the log window lists its texts in row order.
        for (bool backwards : {false, true}) {
            std::vector<vorla::TextRef>& refs = sorter.EmptyList();
            for (size_t i = 0; i < texts.size(); ++i) {
                const size_t at = backwards ? texts.size() - 1 - i : i;
                refs.push_back(vorla::TextRef::Of(texts[at], static_cast<uint32_t>(at)));
            }
            std::vector<uint32_t> ranks;
            const uint32_t count = sorter.Rank(refs, *c.fold, texts.size(), ranks);
            ASSERT_EQ(ranks, expected) << (backwards ? "backwards" : "in order");
            EXPECT_EQ(count, expected.empty() ? 0 : *std::max_element(expected.begin(), expected.end()) + 1);
        }
    }
}

TEST(TextOrder, NoTextsAndPositionsWithoutOne) {
    vorla::TextSorter sorter;
    std::vector<uint32_t> ranks = {7};
    EXPECT_EQ(sorter.Rank({}, vorla::kExactBytes, 3, ranks), 0u);
    EXPECT_EQ(ranks, (std::vector<uint32_t>{0, 0, 0}));
    const std::string b = "b", a = "a";
    EXPECT_EQ(sorter.Rank({vorla::TextRef::Of(b, 3), vorla::TextRef::Of(a, 1)}, vorla::kExactBytes, 5, ranks),
              2u);
    EXPECT_EQ(ranks, (std::vector<uint32_t>{0, 0, 0, 1, 0}));
}

TEST(StableCountingSort, MatchesAStableSortAndKeepsTiesInTheirOrder) {
    std::mt19937 rng(5);
    for (size_t keyLimit : {1u, 7u, 1000u}) {
        std::vector<uint32_t> keyOf(3000);
        for (auto& key : keyOf)
            key = static_cast<uint32_t>(rng() % keyLimit);
        std::vector<uint32_t> rows(keyOf.size());
        for (size_t i = 0; i < rows.size(); ++i)
            rows[i] = static_cast<uint32_t>(i);
        std::shuffle(rows.begin(), rows.end(), rng);
        std::vector<uint32_t> expected = rows;
        std::stable_sort(expected.begin(), expected.end(),
                         [&](uint32_t a, uint32_t b) { return keyOf[a] < keyOf[b]; });
        vorla::StableCountingSort sorter;
        sorter.Sort(rows, keyOf, keyLimit);
        ASSERT_EQ(rows, expected) << "keys below " << keyLimit;
    }
}

}  // namespace
