#include "engine/text_exchange/control_char_names.h"

#include <gtest/gtest.h>

#include <cstring>

namespace rkl {
namespace {

TEST(ControlCharNames, AreFiveCharactersInCodeOrder) {
    for (const char* name : kControlCharNames) {
        EXPECT_EQ(std::strlen(name), 5u) << name;
        EXPECT_EQ(name[0], '<');
        EXPECT_EQ(name[4], '>');
    }
    EXPECT_STREQ(kControlCharNames[0], "<NUL>");
    EXPECT_STREQ(kControlCharNames[8], "<BS >");
    EXPECT_STREQ(kControlCharNames[17], "<DC1>");
    EXPECT_STREQ(kControlCharNames[25], "<EM >");
    EXPECT_STREQ(kControlCharNames[31], "<US >");
}

TEST(ControlCharNames, TraceShowsControlsByNameAndBreaksTheLineAfterCarriageReturn) {
    EXPECT_EQ(FormatTraceChar('\r'), "<CR >\r");
    EXPECT_EQ(FormatTraceChar('\n'), "<LF >");
    EXPECT_EQ(FormatTraceChar(0x1B), "<ESC>");
    EXPECT_EQ(FormatTraceChar('A'), "A");
    EXPECT_EQ(FormatTraceChar(' '), " ");
    EXPECT_EQ(FormatTraceChar(0x7F), "\x7F");
    EXPECT_EQ(FormatTraceChar(0xE9), "\xE9");
}

}  // namespace
}  // namespace rkl
