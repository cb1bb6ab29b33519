// The line reader: line ends, Ctrl-Z, over-long lines and exact positions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/script_stream.h"

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    rkl::ScriptStream stream;
    stream.OpenBytes(bytes);
    std::vector<std::string> out;
    char line[rkl::ScriptStream::kMaxLine + 1];
    size_t length = 0;
    while (stream.ReadLine(line, length))
        out.emplace_back(line, length);
    return out;
}

TEST(ScriptStream, CrLfAndLfEndLinesAndALoneCrStays) {
    EXPECT_EQ(Lines("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\rb\n"), (std::vector<std::string>{"a\rb"}));
    EXPECT_EQ(Lines("\n\n"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(Lines("").empty());
}

TEST(ScriptStream, CtrlZEndsTheFile) {
    EXPECT_EQ(Lines("a\nb\x1a"
                    "c\nd\n"),
              (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(Lines("\x1a"
                      "a\n")
                    .empty());
}

TEST(ScriptStream, LongLinesAreSplitAt511Characters) {
    const auto lines = Lines(std::string(600, 'x') + "\n" + "next\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].size(), 511u);
    EXPECT_EQ(lines[1].size(), 89u);
    EXPECT_EQ(lines[2], "next");
    // Exactly 511 characters with CR LF is still one line.
    EXPECT_EQ(Lines(std::string(511, 'y') + "\r\nz").size(), 2u);
}

TEST(ScriptStream, PositionsAreByteOffsetsAndSeekReturnsThere) {
    rkl::ScriptStream stream;
    stream.OpenBytes("first\r\nsecond\nthird");
    char line[512];
    size_t length = 0;
    ASSERT_TRUE(stream.ReadLine(line, length));
    EXPECT_EQ(stream.Tell(), 7);
    ASSERT_TRUE(stream.ReadLine(line, length));
    EXPECT_EQ(stream.Tell(), 14);
    stream.Seek(7);
    ASSERT_TRUE(stream.ReadLine(line, length));
    EXPECT_STREQ(line, "second");
    stream.Seek(1000);
    EXPECT_FALSE(stream.ReadLine(line, length));
    stream.Seek(-5);
    EXPECT_FALSE(stream.ReadLine(line, length));
}

TEST(ScriptStream, MissingFileHasNoLines) {
    rkl::ScriptStream stream;
    EXPECT_FALSE(stream.OpenFile("/nonexistent/dir/script.rkl"));
    char line[512];
    size_t length = 0;
    EXPECT_FALSE(stream.ReadLine(line, length));
}

}  // namespace
