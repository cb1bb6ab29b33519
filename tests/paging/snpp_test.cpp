// SNPP commands, replies and lines as they come off a socket.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "paging/snpp/snpp.h"

namespace {

struct CommandCase {
    std::string line;
    snpp::Verb verb;
    const char* argument;
};

TEST(Snpp, CommandsByTheirFirstFourLettersInAnyCase) {
    const CommandCase cases[] = {
        {"PAGE 1234", snpp::Verb::Page, "1234"},
        {"pager  \"Ann Demo\"  ", snpp::Verb::Page, "\"Ann Demo\""},
        {"Mess disk full\r", snpp::Verb::Message, "disk full"},
        {"MESSAGE", snpp::Verb::Message, ""},
        {"  holduntil 251224120000 -0500", snpp::Verb::HoldUntil, "251224120000 -0500"},
        {"HOLD\t251224120000", snpp::Verb::HoldUntil, "251224120000"},
        {"2way", snpp::Verb::TwoWay, ""},
        {"noqueueing", snpp::Verb::NoQueueing, ""},
        {"PAGEX 1", snpp::Verb::Unknown, "1"},  // not the verb's name going on
        {"PAG 1", snpp::Verb::Unknown, "1"},    // fewer than four letters
        {"MESSAGES hi", snpp::Verb::Unknown, "hi"},
        {"", snpp::Verb::Unknown, ""},
        {std::string("\x00\xff\x01PAGE 1", 9), snpp::Verb::Unknown, "1"},
    };
    for (const CommandCase& c : cases) {
        const snpp::Command command = snpp::ParseCommand(c.line);
        EXPECT_EQ(command.verb, c.verb) << c.line;
        EXPECT_EQ(command.argument, c.argument) << c.line;
    }
    EXPECT_EQ(snpp::LevelOf(snpp::Verb::Quit), 1);
    EXPECT_EQ(snpp::LevelOf(snpp::Verb::Subject), 2);
    EXPECT_EQ(snpp::LevelOf(snpp::Verb::KillTag), 3);
    EXPECT_EQ(snpp::NameOf(snpp::Verb::HoldUntil), "HOLD");
}

TEST(Snpp, RepliesAreOneLineAndReadBack) {
    EXPECT_EQ(snpp::FormatReply(250, "Message Sent Successfully"), "250 Message Sent Successfully\r\n");
    EXPECT_EQ(snpp::FormatReply(550, "bad\r\nname\x01"), "550 bad  name \r\n");
    EXPECT_EQ(snpp::ReplyCode("421 Timeout"), 421);
    EXPECT_EQ(snpp::ReplyCode("250"), 250);
    EXPECT_FALSE(snpp::ReplyCode("25x ok"));
    EXPECT_FALSE(snpp::ReplyCode("2500 ok"));
    EXPECT_EQ(snpp::Unquoted("\" Ann Demo \""), "Ann Demo");
    EXPECT_EQ(snpp::Unquoted("\"Ann"), "\"Ann");
}

// Feeds the pieces in order and records what the reader gives back.
std::vector<std::string> Read(size_t limit, const std::vector<std::string>& pieces) {
    snpp::LineReader reader(limit);
    std::vector<std::string> out;
    for (const std::string& piece : pieces) {
        std::string_view input = piece;
        std::string line;
        for (;;) {
            const auto result = reader.Take(input, &line);
            if (result == snpp::LineReader::Result::NeedMore) break;
            out.push_back(result == snpp::LineReader::Result::Line ? line : "<too long>");
        }
        EXPECT_LE(reader.Pending(), limit + 1);
    }
    return out;
}

TEST(Snpp, LinesInPiecesAndLinesTooLong) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(Read(8, {"PA", "GE 1", "\r", "\nSEND\r\nQU", "IT\n"}), (Lines{"PAGE 1", "SEND", "QUIT"}));
    EXPECT_EQ(Read(8, {"12345678\r\n"}), (Lines{"12345678"}));
    EXPECT_EQ(Read(8, {"1234", "56789", "0123", "\r\nSEND\n"}), (Lines{"<too long>", "SEND"}));
    EXPECT_EQ(Read(4, {std::string(10 * 1024 * 1024, 'x'), "\nQUIT\n"}), (Lines{"<too long>", "QUIT"}));
    EXPECT_EQ(Read(4, {"\n\n"}), (Lines{"", ""}));
    // A CR that did not end its line is text and counts, so the piece held stays in bounds.
    EXPECT_EQ(Read(4, {"abc\r", "d\r", "\n"}), (Lines{"<too long>"}));
    EXPECT_EQ(Read(4, {"ab\r", "c\r", "\n"}), (Lines{"ab\rc"}));
}

TEST(Snpp, HoldTimesAndTheirDifferenceFromGmt) {
    const auto hold = snpp::ParseHoldUntil("251224183000 -0500");
    ASSERT_TRUE(hold);
    EXPECT_EQ(hold->year, 2025);
    EXPECT_EQ(hold->hour, 18);
    EXPECT_EQ(snpp::UtcSeconds(*hold), 1766619000LL);  // 2025-12-24 23:30:00 UTC
    EXPECT_EQ(snpp::ParseHoldUntil("991231235959")->year, 1999);
    EXPECT_FALSE(snpp::ParseHoldUntil("991231235959")->utcOffsetMinutes);
    EXPECT_EQ(snpp::ParseHoldUntil("20240229000000 +1")->utcOffsetMinutes, 60);
    EXPECT_EQ(snpp::ParseHoldUntil("240101000000 +0530")->utcOffsetMinutes, 330);
    for (const char* bad : {"", "2512241830", "251324000000", "250229000000", "251224240000", "25122418300x",
                            "251224183000 0500", "251224183000 +99", "251224183000 +12345"})
        EXPECT_FALSE(snpp::ParseHoldUntil(bad)) << bad;
}

}  // namespace
