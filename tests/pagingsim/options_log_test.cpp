#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "tools/pagingsim/page_log.h"
#include "tools/pagingsim/sim_options.h"

namespace pagingsim {
namespace {

std::string Parse(std::vector<std::string> args, SimOptions& options) {
    return ParseOptions(args, options);
}

TEST(pagingsim_options, ReadsEveryOption) {
    SimOptions o;
    ASSERT_EQ(Parse({"--link",
                     "/tmp/x",
                     "--log",
                     "p.log",
                     "--tcp",
                     "0",
                     "--password",
                     "PW",
                     "--baud",
                     "9600",
                     "--no-dialtone",
                     "--nak",
                     "2",
                     "--refuse",
                     "123,,456",
                     "--drop-in-block",
                     "3",
                     "--slow",
                     "250",
                     "--ring-ms",
                     "10",
                     "--guard-ms",
                     "100",
                     "--timeout",
                     "0",
                     "--max-length",
                     "80",
                     "--fault-calls",
                     "1",
                     "--once",
                     "--quiet"},
                    o),
              "");
    EXPECT_EQ(o.link, "/tmp/x");
    EXPECT_EQ(o.log_path, "p.log");
    EXPECT_EQ(o.tcp_port, 0);
    EXPECT_EQ(o.terminal.password, "PW");
    EXPECT_EQ(o.modem.baud, 9600);
    EXPECT_EQ(o.modem.outcome, DialOutcome::kNoDialtone);
    EXPECT_EQ(o.terminal.naks_per_block, 2);
    EXPECT_EQ(o.terminal.refused_pins, (std::set<std::string>{"123", "456"}));
    EXPECT_EQ(o.modem.drop.in_block, 3);
    EXPECT_EQ(o.terminal.answer_delay.count(), 250);
    EXPECT_EQ(o.modem.ring.count(), 10);
    EXPECT_EQ(o.modem.guard.count(), 100);
    EXPECT_EQ(o.terminal.idle_timeout.count(), 0);
    EXPECT_EQ(o.terminal.max_message_length, 80u);
    EXPECT_EQ(o.modem.fault_calls, 1);
    EXPECT_TRUE(o.once);
    EXPECT_TRUE(o.quiet);
}

TEST(pagingsim_options, RefusesWhatItCannotHonour) {
    const std::vector<std::vector<std::string>> bad = {{"--frobnicate"},
                                                       {"--link"},
                                                       {"--tcp", "70000"},
                                                       {"--tcp", "12x"},
                                                       {"--nak", "-1"},
                                                       {"--busy", "--no-carrier"},
                                                       {"--drop-after-bytes", "5", "--drop-in-block", "1"},
                                                       {"--password", "TOOLONG7"},
                                                       {"--guard-ms", "5"},
                                                       {"--slow", ""}};
    for (const auto& args : bad) {
        SimOptions o;
        EXPECT_NE(Parse(args, o), "") << args.front();
    }
}

TEST(pagingsim_log, OneJsonLinePerPageInUtf8) {
    const std::string line =
        PageLogLine({"5551234", "Caf\xE9 \x80 5 \"quoted\" back\\slash\ttab"}, 86400 + 3661);
    ASSERT_EQ(line.back(), '\n');
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "exactly one line";
    EXPECT_EQ(line.rfind("{\"pin\":\"5551234\",\"message\":", 0), 0u) << "fields in documented order";
    const auto parsed = nlohmann::json::parse(line);
    EXPECT_EQ(parsed["pin"], "5551234");
    EXPECT_EQ(parsed["message"], "Caf\xC3\xA9 \xE2\x82\xAC 5 \"quoted\" back\\slash\ttab");
    EXPECT_EQ(parsed["time"], "1970-01-02T01:01:01Z");
}

TEST(pagingsim_log, WindowsCodePageHolesKeepTheirCodePoints) {
    EXPECT_EQ(Cp1252ToUtf8("\x81\x9F\xFF"), "\xC2\x81\xC5\xB8\xC3\xBF");
}

}  // namespace
}  // namespace pagingsim
