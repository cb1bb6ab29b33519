#include "text_order.h"

#include <algorithm>
#include <cstddef>

namespace vorla {

int CompareTextsFrom(const TextRef& a, const TextRef& b, size_t depth, const ByteFold& fold) {
    const size_t n = std::min(a.length, b.length);
    for (size_t i = depth; i < n; ++i) {
        const unsigned char x = fold[a.bytes[i]];
        const unsigned char y = fold[b.bytes[i]];
        if (x != y) return x < y ? -1 : 1;
    }
    return a.length == b.length ? 0 : (a.length < b.length ? -1 : 1);
}

// Ranges wait on a work list rather than the call stack, because texts sharing a long
// beginning would otherwise nest one call per shared byte.
void SortTexts(std::vector<TextRef>& texts, const ByteFold& fold) {
    constexpr size_t kSmallRange = 32;  // below this a comparison sort beats 257 buckets
    struct Range {
        size_t begin, end, depth;
    };
    std::vector<TextRef> scratch(texts.size());
    std::vector<Range> pending{{0, texts.size(), 0}};
    // Bucket 0 holds the texts that end at this depth; bucket b + 1 those with byte b.
    auto bucketOf = [&fold](const TextRef& text, size_t depth) -> size_t {
        return depth < text.length ? fold[text.bytes[depth]] + 1u : 0u;
    };
    std::array<size_t, 257> count{};
    std::array<size_t, 257> next{};
    while (!pending.empty()) {
        const Range range = pending.back();
        pending.pop_back();
        const auto first = texts.begin() + static_cast<ptrdiff_t>(range.begin);
        const auto last = texts.begin() + static_cast<ptrdiff_t>(range.end);
        const size_t size = range.end - range.begin;
        if (size <= kSmallRange) {
            std::sort(first, last, [&](const TextRef& a, const TextRef& b) {
                return CompareTextsFrom(a, b, range.depth, fold) < 0;
            });
            continue;
        }
        count.fill(0);
        for (auto it = first; it != last; ++it) ++count[bucketOf(*it, range.depth)];
        const size_t only = bucketOf(*first, range.depth);
        if (count[only] == size) {
            if (only == 0) continue;  // all end here: equal
            // One shared byte: they may share a longer beginning, found in one pass rather
            // than one pass per shared byte.
            size_t common = first->length;
            for (auto it = first + 1; it != last && common > range.depth + 1; ++it) {
                const size_t limit = std::min<size_t>(common, it->length);
                size_t i = range.depth + 1;
                while (i < limit && fold[it->bytes[i]] == fold[first->bytes[i]]) ++i;
                common = i;
            }
            pending.push_back({range.begin, range.end, std::max(common, range.depth + 1)});
            continue;
        }
        size_t at = range.begin;
        for (size_t b = 0; b < count.size(); ++b) {
            next[b] = at;
            if (b != 0 && count[b] > 1) pending.push_back({at, at + count[b], range.depth + 1});
            at += count[b];
        }
        for (auto it = first; it != last; ++it) scratch[next[bucketOf(*it, range.depth)]++] = *it;
        std::copy(scratch.begin() + static_cast<ptrdiff_t>(range.begin),
                  scratch.begin() + static_cast<ptrdiff_t>(range.end), first);
    }
}

uint32_t RankSortedTexts(const std::vector<TextRef>& texts, const ByteFold& fold, size_t positionCount,
                         std::vector<uint32_t>& ranks) {
    ranks.assign(positionCount, 0);
    uint32_t rank = 0;
    for (size_t i = 0; i < texts.size(); ++i) {
        if (i > 0 && CompareTextsFrom(texts[i - 1], texts[i], 0, fold) != 0) ++rank;
        ranks[texts[i].at] = rank;
    }
    return texts.empty() ? 0 : rank + 1;
}

uint32_t RankTexts(std::vector<TextRef>& texts, const ByteFold& fold, size_t positionCount,
                   std::vector<uint32_t>& ranks) {
    SortTexts(texts, fold);
    return RankSortedTexts(texts, fold, positionCount, ranks);
}

}  // namespace vorla
