#include "engine/text_exchange/recv_text_set.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "tests/engine_platform/matcher_checks.h"

namespace rkl {
namespace {

// A handle's match buffer and armed texts, driven as RECVTEXT and RECV drive them.
class Matcher : public ::testing::Test {
protected:
    // Receives the bytes one by one and answers the label of the first match, or "".
    std::string Receive(const std::string& bytes) {
        for (char c : bytes) {
            ring_.Push(static_cast<unsigned char>(c));
            if (const TRecvText* hit = set_.MatchBuffer(ring_)) return hit->label;
        }
        return "";
    }
    ::testing::AssertionResult Consistent() {
        return testing::SetIsConsistent(set_, [this](int a, int b) { return arm_order_[a] < arm_order_[b]; });
    }
    void Arm(int slot, const std::string& label, const std::string& text) {
        set_.Arm(slot, label, text);
        arm_order_[slot] = ++arm_counter_;
    }

    std::array<unsigned char, 256> storage_{};
    TCharRing ring_{storage_.data(), 256};
    TRecvTextSet set_;
    std::array<int, TRecvTextSet::kSlotCount> arm_order_{};
    int arm_counter_ = 0;
};

TEST_F(Matcher, ShorterTextWinsAndEqualTextsGoToTheOneArmedFirst) {
    Arm(0, "ok", "OK");
    Arm(1, "k", "K");
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("OK"), "k");

    Arm(0, "first", "RING");
    Arm(1, "second", "RING");
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("RING"), "first");
    set_.RemoveText(0);
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("RING"), "second");
}

TEST_F(Matcher, BytesReceivedBeforeArmingStillCount) {
    EXPECT_EQ(Receive("ATDT555\r\nCONNEC"), "");
    Arm(0, "connected", "CONNECT");
    EXPECT_EQ(set_.MatchBuffer(ring_), nullptr);
    EXPECT_EQ(Receive("T"), "connected");
    // A match does not consume: the next byte is judged on the whole buffer again.
    EXPECT_EQ(Receive(" 2400"), "");
}

TEST_F(Matcher, ArmingASlotDisarmsItAndEveryHigherSlot) {
    for (int s = 0; s < 5; ++s)
        Arm(s, "L" + std::to_string(s), "T" + std::to_string(s));
    Arm(2, "new", "NEW");
    EXPECT_EQ(set_.armedCount(), 3);
    EXPECT_TRUE(set_.Slot(0).IsArmed());
    EXPECT_TRUE(set_.Slot(1).IsArmed());
    EXPECT_EQ(set_.Slot(2).Text(), "NEW");
    EXPECT_FALSE(set_.Slot(3).IsArmed());
    EXPECT_FALSE(set_.Slot(4).IsArmed());
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("T3T4"), "");
    EXPECT_EQ(Receive("T1"), "L1");
    Arm(0, "only", "X");
    EXPECT_EQ(set_.armedCount(), 1);
}

TEST_F(Matcher, TrailingBlanksAreExpected) {
    Arm(0, "prompt", "ID=  ");
    EXPECT_EQ(Receive("ID="), "");
    EXPECT_EQ(Receive(" "), "");
    EXPECT_EQ(Receive(" "), "prompt");
}

TEST_F(Matcher, ShortTextMatchesBeforeALongerOneEndingInAHighByte) {
    // "AB" is a suffix of "\xC9AB": whatever the sign of 0xC9, the shorter text must win.
    Arm(0, "long",
        "\xC9"
        "AB");
    Arm(1, "short", "AB");
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("\xC9"
                      "AB"),
              "short");
    Arm(0, "short2", "AB");
    Arm(1, "long2",
        "\x80"
        "AB");
    EXPECT_EQ(Receive("\x80"
                      "AB"),
              "short2");
    EXPECT_TRUE(Consistent());
}

TEST_F(Matcher, HighBytesSortAsSignedAndStillMatch) {
    Arm(0, "e", "caf\xE9");
    Arm(1, "plain", "cafe");
    Arm(2, "del", "x\x7F");
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(set_.Slot(set_.SortedSlot(0)).label, "e");  // 0xE9 is negative as signed
    EXPECT_EQ(Receive("un caf\xE9"), "e");
    EXPECT_EQ(Receive("x\x7F"), "del");
}

TEST_F(Matcher, SlotLimitsAndRearmingAreRefused) {
    EXPECT_FALSE(set_.Arm(35, "L", "X"));
    EXPECT_FALSE(set_.Arm(-1, "L", "X"));
    EXPECT_FALSE(set_.AddText(35, "L", "X"));
    set_.RemoveText(99);
    EXPECT_TRUE(set_.AddText(3, "L", "X"));
    EXPECT_FALSE(set_.AddText(3, "M", "Y"));  // armed: left as it is
    EXPECT_EQ(set_.Slot(3).label, "L");
    EXPECT_EQ(set_.armedCount(), 1);
    for (int s = 0; s < TRecvTextSet::kSlotCount; ++s)
        set_.AddText(s, "all", "Z");
    EXPECT_EQ(set_.armedCount(), 35);
    set_.DisarmFrom(0);
    EXPECT_EQ(set_.armedCount(), 0);
    EXPECT_EQ(set_.MatchBuffer(ring_), nullptr);
}

TEST_F(Matcher, TextsAreCutAtANulAndAt255Characters) {
    Arm(0, "nul", std::string("AB\0CD", 5));
    EXPECT_EQ(set_.Slot(0).Text(), "AB");
    EXPECT_EQ(Receive("AB"), "nul");

    // The longest text the 255-byte buffer can hold matches; a longer one is cut to 255.
    const std::string long_text(300, 'x');
    Arm(0, "long", long_text);
    EXPECT_EQ(set_.Slot(0).reversedText.size(), 255u);
    EXPECT_EQ(Receive(std::string(254, 'x')), "");
    EXPECT_EQ(Receive("x"), "long");
}

TEST_F(Matcher, ManySharedPrefixesSkipToTheRightText) {
    const std::vector<std::string> texts = {"NO CARRIER",  "CARRIER", "ERROR",      "R", "BUSY",
                                            "NO DIALTONE", "OK\r\n",  "\r\nOK\r\n", "ZZ"};
    for (int s = 0; s < static_cast<int>(texts.size()); ++s)
        Arm(s, texts[s], texts[s]);
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("NO DIALTONE"), "NO DIALTONE");
    EXPECT_EQ(Receive("ATZ\r\nOK\r\n"), "OK\r\n");
    EXPECT_EQ(Receive("B"), "");
    EXPECT_EQ(Receive("USY"), "BUSY");
    EXPECT_EQ(Receive("NO CA"), "");
    EXPECT_EQ(Receive("R"), "R");
    set_.RemoveText(3);
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(Receive("RIER"), "CARRIER");
}

TEST(MatcherCompareChar, EndOfTextAndEndOfBufferAnswers) {
    std::array<unsigned char, 4> storage{'O', 'K'};
    TCharRing ring(storage.data(), 4, 2);
    TRecvText text;
    text.reversedText = "KO";
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 0, true), TRecvTextSet::kSame);
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 2, true), TRecvTextSet::kTextEnds);
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 2, false), TRecvTextSet::kBufferGreater);
    text.reversedText = "KOX";
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 2, true), TRecvTextSet::kBufferLess);
    text.reversedText = "KO\x90";
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 2, true), TRecvTextSet::kBufferLess);
    text.reversedText = "A";
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 0, true), TRecvTextSet::kBufferGreater);
    text.reversedText = "\xF0";
    EXPECT_EQ(TRecvTextSet::CompareChar(ring, text, 0, true), TRecvTextSet::kBufferGreater);
}

}  // namespace
}  // namespace rkl
