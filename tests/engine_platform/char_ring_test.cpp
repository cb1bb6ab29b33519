#include "engine/text_exchange/char_ring.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace rkl {
namespace {

std::string NewestFirst(const TCharRing& ring) {
    std::string text;
    for (int k = 0; k < ring.Count(); ++k)
        text += static_cast<char>(ring.FromNewest(k));
    return text;
}

std::string OldestFirst(const TCharRing& ring) {
    std::string text;
    for (int k = 0; k < ring.Count(); ++k)
        text += static_cast<char>(ring.FromOldest(k));
    return text;
}

TEST(CharRing, KeepsPushedBytesInBothDirectionsAndAnswersZeroOutsideThem) {
    std::array<unsigned char, 256> storage{};
    TCharRing ring(storage.data(), 256);
    EXPECT_EQ(ring.Count(), 0);
    EXPECT_EQ(ring.FromNewest(0), 0);
    for (char c : std::string("ABC"))
        ring.Push(static_cast<unsigned char>(c));
    EXPECT_EQ(ring.Count(), 3);
    EXPECT_EQ(NewestFirst(ring), "CBA");
    EXPECT_EQ(OldestFirst(ring), "ABC");
    EXPECT_EQ(ring.FromNewest(3), 0);
    EXPECT_EQ(ring.FromNewest(-1), 0);
    EXPECT_EQ(ring.FromOldest(3), 0);
    ring.Clear();
    EXPECT_EQ(ring.Count(), 0);
    EXPECT_EQ(ring.FromOldest(0), 0);
}

TEST(CharRing, FullRingHolds255AndDropsTheOldestAcrossTheWrap) {
    std::array<unsigned char, 256> storage{};
    TCharRing ring(storage.data(), 256);
    for (int i = 0; i < 600; ++i)
        ring.Push(static_cast<unsigned char>(i % 251 + 1));
    ASSERT_EQ(ring.Count(), 255);
    EXPECT_EQ(ring.FromNewest(0), 599 % 251 + 1);
    EXPECT_EQ(ring.FromNewest(254), (600 - 255) % 251 + 1);
    EXPECT_EQ(ring.FromOldest(0), (600 - 255) % 251 + 1);
    EXPECT_EQ(ring.FromNewest(255), 0);
}

TEST(CharRing, StorageWithInitialTailReadsAsATextBeingArmed) {
    std::string text = "CONNECT";
    std::array<unsigned char, 8> storage{};
    for (std::size_t i = 0; i < text.size(); ++i)
        storage[i] = static_cast<unsigned char>(text[i]);
    TCharRing ring(storage.data(), static_cast<int>(text.size()) + 1, static_cast<int>(text.size()));
    EXPECT_EQ(ring.Count(), 7);
    EXPECT_EQ(NewestFirst(ring), "TCENNOC");
}

TEST(CharRing, WithoutUsableStorageHoldsNothing) {
    TCharRing empty;
    empty.Push('A');
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.FromNewest(0), 0);
    unsigned char one = 0;
    TCharRing tiny(&one, 1, 5);
    tiny.Push('A');
    EXPECT_EQ(tiny.Count(), 0);
    // A tail beyond the storage is kept inside it.
    std::array<unsigned char, 4> storage{'a', 'b', 'c', 'd'};
    TCharRing clipped(storage.data(), 4, 9);
    EXPECT_EQ(clipped.Count(), 3);
}

}  // namespace
}  // namespace rkl
