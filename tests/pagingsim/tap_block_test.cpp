#include <gtest/gtest.h>

#include <string>

#include "tools/pagingsim/tap_block.h"

namespace pagingsim {
namespace {

TapBlock ReadAll(const std::string& block) {
    TapBlockReader reader;
    EXPECT_EQ(block.front(), tap::kStx);
    reader.Begin();
    for (std::size_t i = 1; i < block.size(); ++i) {
        if (auto done = reader.Feed(block[i])) {
            EXPECT_EQ(i, block.size() - 1) << "block ended early";
            return *done;
        }
    }
    ADD_FAILURE() << "block never ended";
    return {};
}

std::string Corrupt(std::string block, std::size_t at, char c) {
    block[at] = c;
    return block;
}

TEST(pagingsim_block, ChecksumOfTheWorkedExample) {
    const auto sum = TapChecksum(
        "\x02"
        "123\rab\r\x03");
    EXPECT_EQ(std::string(sum.begin(), sum.end()), "178");
}

TEST(pagingsim_block, ChecksumTakesBytesAsSigned) {
    // 0x02 + 0xE9 taken as -23 + 0x03: 2 - 23 + 3 = -18 = 0x...FFEE -> nibbles F, E, E.
    const auto sum = TapChecksum(std::string("\x02\xE9\x03"));
    EXPECT_EQ(std::string(sum.begin(), sum.end()), "?>>");
}

TEST(pagingsim_block, GoodBlocksReadBackWithTheirTerminator) {
    for (char terminator : {tap::kEtx, tap::kEtb}) {
        const TapBlock block = ReadAll(EncodeTapBlock("5551234\rHELLO\r", terminator));
        EXPECT_EQ(block.verdict, BlockVerdict::kGood) << block.problem;
        EXPECT_EQ(block.data, "5551234\rHELLO\r");
        EXPECT_EQ(block.terminator, terminator);
    }
    const TapBlock continued = ReadAll(EncodeTapBlock("5551234\rHEL", tap::kUs));
    EXPECT_EQ(continued.verdict, BlockVerdict::kGood);
    // A sender's surplus block at the end of a short last page carries no data at all.
    EXPECT_EQ(ReadAll(EncodeTapBlock("", tap::kEtx)).verdict, BlockVerdict::kGood);
    EXPECT_EQ(ReadAll(EncodeTapBlock("", tap::kUs)).verdict, BlockVerdict::kGood);
}

TEST(pagingsim_block, LengthLimitIs250Characters) {
    const std::string at_limit = std::string(249, 'A') + "\r";
    EXPECT_EQ(ReadAll(EncodeTapBlock(at_limit, tap::kEtx)).verdict, BlockVerdict::kGood);
    const TapBlock over = ReadAll(EncodeTapBlock(std::string(250, 'A') + "\r", tap::kEtx));
    EXPECT_EQ(over.verdict, BlockVerdict::kTooLong);
    EXPECT_TRUE(over.data.empty());
}

TEST(pagingsim_block, DamagedBlocksAreRefusedWithTheRightVerdict) {
    const std::string good = EncodeTapBlock("123\rab\r", tap::kEtx);  // STX 123 CR ab CR ETX 178 CR
    EXPECT_EQ(ReadAll(Corrupt(good, 5, 'c')).verdict, BlockVerdict::kChecksumError);
    EXPECT_EQ(ReadAll(Corrupt(good, 11, '9')).verdict, BlockVerdict::kChecksumError);
    EXPECT_EQ(ReadAll(Corrupt(good, 10, 'x')).verdict, BlockVerdict::kMalformed);   // not a checksum digit
    EXPECT_EQ(ReadAll(Corrupt(good, 12, '\n')).verdict, BlockVerdict::kMalformed);  // no final CR
    EXPECT_EQ(ReadAll(EncodeTapBlock("123\ra\nb\r", tap::kEtx)).verdict, BlockVerdict::kMalformed);
    EXPECT_EQ(ReadAll(EncodeTapBlock("123\rab", tap::kEtb)).verdict, BlockVerdict::kMalformed);
    EXPECT_EQ(ReadAll(EncodeTapBlock("123\rab", tap::kEtx)).verdict, BlockVerdict::kMalformed);
}

TEST(pagingsim_block, SecondStxStartsTheBlockAgain) {
    TapBlockReader reader;
    reader.Begin();
    for (char c : std::string("12"))
        EXPECT_FALSE(reader.Feed(c));
    const std::string fresh = EncodeTapBlock("9\rX\r", tap::kEtx);
    std::optional<TapBlock> done;
    for (char c : fresh)
        done = reader.Feed(c);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->verdict, BlockVerdict::kGood);
    EXPECT_EQ(done->data, "9\rX\r");
    EXPECT_FALSE(reader.InBlock());
}

TEST(pagingsim_block, EndlessDataKeepsMemoryBounded) {
    TapBlockReader reader;
    reader.Begin();
    for (int i = 0; i < 100000; ++i)
        reader.Feed('A');
    for (char c : std::string("\x03"
                              "000\r")) {
        if (auto done = reader.Feed(c)) {
            EXPECT_EQ(done->verdict, BlockVerdict::kTooLong);
            EXPECT_LE(done->data.size(), tap::kMaxBlockData + 1);
            return;
        }
    }
    FAIL() << "block never ended";
}

}  // namespace
}  // namespace pagingsim
