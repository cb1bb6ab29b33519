#ifndef TESTS_ENGINE_PLATFORM_MATCHER_CHECKS_H
#define TESTS_ENGINE_PLATFORM_MATCHER_CHECKS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/text_exchange/recv_text_set.h"

namespace rkl::testing {

// The order the armed texts must keep, written independently of the matcher: reversed
// forms compared byte by byte as signed values, a prefix before the longer text.
inline int CompareReversed(const std::string& a, const std::string& b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<signed char>(a[i]);
        const auto y = static_cast<signed char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

inline int CommonPrefix(const std::string& a, const std::string& b) {
    int n = 0;
    while (n < static_cast<int>(std::min(a.size(), b.size())) && a[n] == b[n])
        ++n;
    return n;
}

// Checks sorted order, shared lengths, positions and the armed count. `armed_before(x, y)`
// answers whether slot x was armed before slot y (for equal texts).
template <typename ArmedBefore>
::testing::AssertionResult SetIsConsistent(const TRecvTextSet& set, ArmedBefore armed_before) {
    int armed = 0;
    for (int s = 0; s < TRecvTextSet::kSlotCount; ++s) {
        const TRecvText& text = set.Slot(s);
        if (text.index != s) return ::testing::AssertionFailure() << "slot " << s << " index";
        if (!text.IsArmed()) {
            if (text.sharedLength != -1 || !text.reversedText.empty())
                return ::testing::AssertionFailure() << "disarmed slot " << s << " keeps data";
            continue;
        }
        ++armed;
        if (set.SortedSlot(text.sortedPosition) != s)
            return ::testing::AssertionFailure() << "slot " << s << " position mismatch";
    }
    if (armed != set.armedCount()) return ::testing::AssertionFailure() << "armed count";
    for (int p = armed; p < TRecvTextSet::kSlotCount; ++p) {
        if (set.SortedSlot(p) != -1) return ::testing::AssertionFailure() << "cell " << p << " not -1";
    }
    for (int p = 0; p < armed; ++p) {
        const TRecvText& here = set.Slot(set.SortedSlot(p));
        if (p + 1 == armed) {
            if (here.sharedLength != 0) return ::testing::AssertionFailure() << "last shares";
            break;
        }
        const TRecvText& next = set.Slot(set.SortedSlot(p + 1));
        const int order = CompareReversed(here.reversedText, next.reversedText);
        if (order > 0 || (order == 0 && !armed_before(here.index, next.index)))
            return ::testing::AssertionFailure() << "order broken at " << p;
        if (here.sharedLength != CommonPrefix(here.reversedText, next.reversedText))
            return ::testing::AssertionFailure() << "shared length wrong at " << p;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace rkl::testing

#endif
