#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>

#include "tests/pagingsim/sender_blocks.h"
#include "tests/pagingsim/sim_process.h"

namespace pagingsim::testing {
namespace {

using namespace std::chrono_literals;

const std::string kGoAhead = "110 1.8\r\x06\r\x1b[p\r";
const std::string kSent = "211 Page(s) Sent Successfully\r\x06\r";

// The usual options for quick tests: short ringing and guard times.
std::vector<std::string> Fast(std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"--ring-ms", "50", "--guard-ms", "100"};
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

#define ASSERT_SIM_READY(sim) ASSERT_TRUE((sim).ready()) << (sim).Trace()

// Dials and logs on the way a paging script does; returns false with a failure
// recorded when any answer is not the expected one.
void DialAndLogOn(Line& line, const std::string& password = "") {
    line.Send("ATZ\r");
    ASSERT_NE(line.Expect("OK\r\n").find("OK"), std::string::npos);
    line.Send("ATE0\r");
    ASSERT_NE(line.Expect("OK\r\n").find("OK"), std::string::npos);
    line.Send("ATDT5551234\r");
    ASSERT_NE(line.Expect("CONNECT 2400\r\n").find("CONNECT 2400"), std::string::npos);
    line.Send("\r");
    ASSERT_NE(line.Expect("ID=").find("ID="), std::string::npos);
    line.Send("\x1bPG1" + password + "\r");
    ASSERT_NE(line.Expect("\x1b[p\r").find(kGoAhead), std::string::npos);
}

void SendPage(Line& line, const std::string& pin, const std::string& text, const std::string& last_answer) {
    const auto blocks = SenderBlocks(pin, text);
    for (std::size_t i = 0; i + 1 < blocks.size(); ++i) {
        line.Send(blocks[i]);
        EXPECT_EQ(line.Expect("\x06\r"), "\x06\r");
    }
    line.Send(blocks.back());
    EXPECT_EQ(line.Expect(last_answer), last_answer);
}

void LogOffAndHangUp(Line& line) {
    line.Send("\x04\r");
    EXPECT_EQ(line.Expect("NO CARRIER\r\n"), "115 Closing connection\r\x1b\x04\r\r\nNO CARRIER\r\n");
}

TEST(pagingsim_e2e, OnePageSessionsBackToBackOnTheLink) {
    SimProcess sim(Fast());
    ASSERT_SIM_READY(sim);
    {
        Line line = Line::OpenSerial(sim.link());
        ASSERT_TRUE(line.open());
        line.Send("AT\r");
        EXPECT_EQ(line.Expect("OK\r\n"), "AT\r\r\nOK\r\n");
        line.Send("ATQ0V1E1&C1&D2\r");
        EXPECT_EQ(line.Expect("OK\r\n"), "ATQ0V1E1&C1&D2\r\r\nOK\r\n");
        line.Send("ATW9\r");
        EXPECT_EQ(line.Expect("ERROR\r\n"), "ATW9\r\r\nERROR\r\n");
        DialAndLogOn(line);
        SendPage(line, "5551234", "HELLO FROM THE FIRST CALL", kSent);
        LogOffAndHangUp(line);
    }
    {
        // A second program opens the same pseudo-terminal after the first has closed it.
        Line line = Line::OpenSerial(sim.link());
        ASSERT_TRUE(line.open());
        line.Send("AT\r");
        EXPECT_EQ(line.Expect("OK\r\n"), "AT\r\r\nOK\r\n") << "echo is back on for a new caller\n"
                                                           << sim.Trace();
        DialAndLogOn(line);
        SendPage(line, "5550000", std::string(240, 'Z'), kSent);  // with this PIN: two blocks, US
        LogOffAndHangUp(line);
        line.Send("ATH\r");
        EXPECT_EQ(line.Expect("OK\r\n"), "\r\nOK\r\n");
    }
    const auto lines = sim.LogLines();
    ASSERT_EQ(lines.size(), 2u) << sim.Trace();
    const auto first = nlohmann::json::parse(lines[0]);
    EXPECT_EQ(first["pin"], "5551234");
    EXPECT_EQ(first["message"], "HELLO FROM THE FIRST CALL");
    EXPECT_EQ(first["time"].get<std::string>().size(), 20u);
    EXPECT_EQ(nlohmann::json::parse(lines[1])["message"], std::string(240, 'Z'));
}

TEST(pagingsim_e2e, NakThenAckAndRefusedPinKeepTheConnection) {
    SimProcess sim(Fast({"--nak", "1", "--refuse", "666,667"}));
    ASSERT_SIM_READY(sim);
    Line line = Line::OpenSerial(sim.link());
    DialAndLogOn(line);
    const std::string block = SenderBlocks("5551234", "RETRY ME")[0];
    line.Send(block);
    EXPECT_EQ(line.Expect("\x15\r"), "503 Checksum error\r\x15\r");
    line.Send(block);
    EXPECT_EQ(line.Expect("\x06\r"), kSent);
    const std::string refused = SenderBlocks("666", "NOT FOR YOU")[0];
    line.Send(refused);
    EXPECT_EQ(line.Expect("\x15\r"), "503 Checksum error\r\x15\r");
    line.Send(refused);
    EXPECT_EQ(line.Expect("\x1e\r"), "511 Invalid pager ID\r\x1e\r");
    const std::string after = SenderBlocks("777", "STILL HERE")[0];
    line.Send(after);
    line.Expect("\x15\r");
    line.Send(after);
    EXPECT_EQ(line.Expect("\x06\r"), kSent);
    LogOffAndHangUp(line);
    const auto lines = sim.LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(nlohmann::json::parse(lines[1])["pin"], "777");
}

TEST(pagingsim_e2e, BusyThenNoCarrierThenConnect) {
    {
        SimProcess sim(Fast({"--busy", "--fault-calls", "1"}));
        ASSERT_SIM_READY(sim);
        Line line = Line::OpenSerial(sim.link());
        line.Send("ATE0\r");
        line.Expect("OK\r\n");
        line.Send("ATDT5551234\r");
        EXPECT_EQ(line.Expect("BUSY\r\n"), "\r\nBUSY\r\n");
        line.Send("ATDT5551234\r");
        EXPECT_EQ(line.Expect("CONNECT 2400\r\n"), "\r\nCONNECT 2400\r\n");
    }
    for (const std::string fault : {"--no-carrier", "--no-dialtone"}) {
        SimProcess sim(Fast({fault}));
        ASSERT_SIM_READY(sim);
        Line line = Line::OpenSerial(sim.link());
        line.Send("ATE0DT5551234\r");
        const std::string expected = fault == "--no-carrier" ? "\r\nNO CARRIER\r\n" : "\r\nNO DIALTONE\r\n";
        EXPECT_EQ(line.Expect(expected), "ATE0DT5551234\r" + expected) << "echo was still on for that line";
    }
}

TEST(pagingsim_e2e, WrongPasswordIsRefused) {
    SimProcess sim(Fast({"--password", "SECRET"}));
    ASSERT_SIM_READY(sim);
    Line line = Line::OpenSerial(sim.link());
    line.Send("ATE0DT1\r");
    line.Expect("CONNECT 2400\r\n");
    line.Send("\r");
    line.Expect("ID=");
    for (const std::string wrong : {"WRONG", "", "SECRE"}) {
        line.Send("\x1bPG1" + wrong + "\r");
        const std::string answer = line.Expect(wrong == "SECRE" ? "NO CARRIER\r\n" : "\x15\r");
        EXPECT_EQ(answer.substr(0, 21), "514 Invalid password\r");
    }
}

TEST(pagingsim_e2e, LineDropInTheMiddleOfABlock) {
    SimProcess sim(Fast({"--drop-in-block", "2"}));
    ASSERT_SIM_READY(sim);
    Line line = Line::OpenSerial(sim.link());
    DialAndLogOn(line);
    SendPage(line, "5551234", "FIRST ARRIVES", kSent);
    line.Send(SenderBlocks("5551234", "SECOND IS CUT")[0]);
    EXPECT_NE(line.Expect("NO CARRIER\r\n").find("\r\nNO CARRIER\r\n"), std::string::npos);
    line.Send("AT\r");
    EXPECT_NE(line.Expect("OK\r\n").find("OK"), std::string::npos) << "the modem takes commands again";
    EXPECT_EQ(sim.LogLines().size(), 1u);
}

TEST(pagingsim_e2e, EscapeToCommandModeAndBackOnline) {
    SimProcess sim(Fast());
    ASSERT_SIM_READY(sim);
    Line line = Line::OpenSerial(sim.link());
    DialAndLogOn(line);
    usleep(150 * 1000);
    line.Send("+++");
    EXPECT_EQ(line.Expect("OK\r\n", 2s), "\r\nOK\r\n");
    line.Send("ATO\r");
    EXPECT_EQ(line.Expect("CONNECT 2400\r\n"), "\r\nCONNECT 2400\r\n");
    SendPage(line, "42", "AFTER THE ESCAPE", kSent);
    usleep(150 * 1000);
    line.Send("+++");
    line.Expect("OK\r\n", 2s);
    line.Send("ATH\r");
    EXPECT_EQ(line.Expect("OK\r\n"), "\r\nOK\r\n");
    EXPECT_EQ(sim.LogLines().size(), 1u);
}

TEST(pagingsim_e2e, SlowAnswersAreSlow) {
    SimProcess sim(Fast({"--slow", "300"}));
    ASSERT_SIM_READY(sim);
    Line line = Line::OpenSerial(sim.link());
    line.Send("ATE0DT1\r");
    line.Expect("CONNECT 2400\r\n");
    line.Send("\r");
    EXPECT_EQ(line.Expect("ID=", 200ms), "") << "the prompt must not come before its delay";
    EXPECT_EQ(line.Expect("ID=", 2s), "ID=");
}

TEST(pagingsim_e2e, TapOverTcpWithoutTheModem) {
    SimProcess sim({"--tcp", "0"}, false);
    ASSERT_SIM_READY(sim);
    ASSERT_GT(sim.tcp_port(), 0);
    Line line = Line::OpenTcp(sim.tcp_port());
    ASSERT_TRUE(line.open());
    line.Send("\r");
    EXPECT_EQ(line.Expect("ID="), "ID=");
    line.Send("\x1bPG1\r");
    EXPECT_EQ(line.Expect("\x1b[p\r"), kGoAhead);
    SendPage(line, "5551234", "OVER IP", kSent);
    line.Send("\x04\r");
    EXPECT_EQ(line.Expect("\x1b\x04\r"), "115 Closing connection\r\x1b\x04\r");
    EXPECT_TRUE(line.ClosedWithin(2s));
    ASSERT_EQ(sim.LogLines().size(), 1u);
    EXPECT_EQ(nlohmann::json::parse(sim.LogLines()[0])["message"], "OVER IP");
}

TEST(pagingsim_e2e, StopsCleanlyAndRemovesItsLink) {
    SimProcess sim(Fast());
    ASSERT_SIM_READY(sim);
    struct stat info {};
    ASSERT_EQ(lstat(sim.link().c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(sim.Stop(), 0);
    EXPECT_NE(lstat(sim.link().c_str(), &info), 0);
}

TEST(pagingsim_e2e, RefusesToReplaceAFileWithItsLink) {
    char folder[] = "/tmp/pagingsim_e2e_XXXXXX";
    ASSERT_TRUE(mkdtemp(folder));
    const std::string path = std::string(folder) + "/precious";
    FILE* file = fopen(path.c_str(), "w");
    fputs("keep me", file);
    fclose(file);
    {
        SimProcess sim({"--link", path}, false);
        EXPECT_FALSE(sim.ready());
    }
    struct stat info {};
    EXPECT_EQ(lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    unlink(path.c_str());
    rmdir(folder);
}

}  // namespace
}  // namespace pagingsim::testing
