#include "engine/platform/marked_input.h"

#include <gtest/gtest.h>

#include <string>

namespace rkl::platform {
namespace {

std::string Decode(const std::string& from_driver) {
    MarkedInput input;
    std::string out;
    for (char c : from_driver) {
        unsigned char byte = 0;
        if (input.Feed(static_cast<unsigned char>(c), byte)) out += static_cast<char>(byte);
    }
    return out;
}

TEST(MarkedInput, ErrorMarksAndDoubledEscapesComeOutAsReceived) {
    struct Case {
        std::string from_driver;
        std::string received;
    };
    using namespace std::string_literals;
    for (const Case& c : {
             Case{"OK\r\n", "OK\r\n"}, Case{"\xFF\x00O\xFF\x00K"s, "OK"},  // both bytes had a parity error
             Case{"A\xFF\xFF"
                  "B"s,
                  "A\xFF"
                  "B"},                       // a received 0xFF
             Case{"\xFF\x00\xFF"s, "\xFF"},   // 0xFF with an error is not an escape
             Case{"\xFF\x00\x00"s, "\x00"s},  // a break
             Case{"\xFF"
                  "A"s,
                  "A"},  // no mark: the second byte is kept
         }) {
        EXPECT_EQ(Decode(c.from_driver), c.received);
    }
}

}  // namespace
}  // namespace rkl::platform
