#include <gtest/gtest.h>

#include <string>

#include "tools/pagingsim/hayes_modem.h"

namespace pagingsim {
namespace {

using namespace std::chrono_literals;

// Stands in for the terminal: records what reaches it, answers what the test queues.
struct FakePeer : DataPeer {
    std::string received;
    std::string to_send;
    bool hung_up = false;
    void Receive(std::string_view bytes, TimePoint) override { received += bytes; }
    void Poll(TimePoint) override {}
    std::string TakeOutput(TimePoint) override { return std::exchange(to_send, std::string()); }
    std::optional<TimePoint> NextWakeup() const override { return std::nullopt; }
    bool HungUp() const override { return hung_up && to_send.empty(); }
};

class ModemHarness {
public:
    explicit ModemHarness(ModemConfig config = Fast())
        : modem_(
              config,
              [this](TimePoint) {
                  auto peer = std::make_unique<FakePeer>();
                  peer_ = peer.get();
                  ++connects;
                  return peer;
              },
              nullptr) {}

    static ModemConfig Fast() {
        ModemConfig config;
        config.ring = 100ms;
        config.guard = 200ms;
        return config;
    }
    std::string Say(const std::string& bytes) {
        modem_.Receive(bytes, now_);
        return modem_.TakeOutput();
    }
    std::string Wait(Duration d) {
        now_ += d;
        modem_.Poll(now_);
        return modem_.TakeOutput();
    }
    std::string Connect() {
        Say("ATDT5551234\r");
        return Wait(100ms);
    }
    HayesModem& modem() { return modem_; }
    FakePeer* peer() { return modem_.CallUp() ? peer_ : nullptr; }
    int connects = 0;

private:
    TimePoint now_{};
    FakePeer* peer_ = nullptr;
    HayesModem modem_;
};

TEST(pagingsim_modem, EchoesAndAnswersOkOrError) {
    ModemHarness m;
    EXPECT_EQ(m.Say("AT\r"), "AT\r\r\nOK\r\n");
    EXPECT_EQ(m.Say("at e1 q0 v1 x4 &c1 &d2 l0 m1\r"), "at e1 q0 v1 x4 &c1 &d2 l0 m1\r\r\nOK\r\n");
    EXPECT_EQ(m.Say("ATJ\r"), "ATJ\r\r\nERROR\r\n");
    EXPECT_EQ(m.Say("ATE2\r"), "ATE2\r\r\nERROR\r\n");
    EXPECT_EQ(m.Say("AT&Z\r"), "AT&Z\r\r\nERROR\r\n");
    EXPECT_EQ(m.Say("hello\r"), "hello\r") << "a line without AT gets no result";
    EXPECT_EQ(m.Say("ATX\bZ\r"), "ATX\bZ\r\r\nOK\r\n") << "backspace edits the line";
    EXPECT_EQ(m.Say("AT" + std::string(300, 'E') + "\r").substr(303), "\r\nERROR\r\n");
}

TEST(pagingsim_modem, EchoQuietVerboseAndResets) {
    ModemHarness m;
    EXPECT_EQ(m.Say("ATE0\r"), "ATE0\r\r\nOK\r\n") << "the line that turns echo off is still echoed";
    EXPECT_EQ(m.Say("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(m.Say("ATV0\r"), "0\r");
    EXPECT_EQ(m.Say("ATJ\r"), "4\r");
    EXPECT_EQ(m.Say("ATQ1\r"), "");
    EXPECT_EQ(m.Say("ATZ\r"), "\r\nOK\r\n") << "ATZ answers with the restored settings";
    EXPECT_EQ(m.Say("AT\r"), "AT\r\r\nOK\r\n");
    m.Say("ATE0V0\r");
    EXPECT_EQ(m.Say("AT&F\r"), "\r\nOK\r\n");
    EXPECT_EQ(m.Say("ATS7=30S7?\r"), "ATS7=30S7?\r\r\n030\r\n\r\nOK\r\n");
    EXPECT_EQ(m.Say("ATS7=256\r").substr(9), "\r\nERROR\r\n");
    EXPECT_EQ(m.Say("ATS12?\r"), "ATS12?\r\r\n010\r\n\r\nOK\r\n") << "S12 holds the guard time in 1/50 s";
}

TEST(pagingsim_modem, DialConnectsAfterTheRingingTime) {
    ModemHarness m;
    EXPECT_EQ(m.Say("ATDT5551234\r"), "ATDT5551234\r");
    EXPECT_EQ(m.Wait(99ms), "");
    EXPECT_EQ(m.Wait(1ms), "\r\nCONNECT 2400\r\n");
    ASSERT_TRUE(m.peer());
    EXPECT_EQ(m.Say("\rABC"), "") << "no echo while online";
    EXPECT_EQ(m.peer()->received, "\rABC");
    m.peer()->to_send = "ID=";
    EXPECT_EQ(m.Wait(1ms), "ID=");
    EXPECT_EQ(m.Say("ATDT1\r"), "") << "AT while online is data";
}

TEST(pagingsim_modem, DialStringsAreChecked) {
    ModemHarness m;
    EXPECT_EQ(m.Say("ATDT\r"), "ATDT\r\r\nERROR\r\n");
    EXPECT_EQ(m.Say("ATDTABC\r"), "ATDTABC\r\r\nERROR\r\n");
    EXPECT_EQ(m.Say("ATD555-1234;\r"), "ATD555-1234;\r\r\nERROR\r\n");
    EXPECT_EQ(m.Say("ATE0DP9,(555) 1234\r"), "ATE0DP9,(555) 1234\r");
    EXPECT_EQ(m.Wait(100ms), "\r\nCONNECT 2400\r\n");
}

TEST(pagingsim_modem, DialFaultsAndTheirXLevels) {
    const auto outcome_of = [](DialOutcome outcome, const std::string& setup) {
        ModemConfig config = ModemHarness::Fast();
        config.outcome = outcome;
        ModemHarness m(config);
        m.Say("ATE0" + setup + "\r");
        m.Say("ATDT1\r");
        return m.Wait(100ms);
    };
    EXPECT_EQ(outcome_of(DialOutcome::kBusy, ""), "\r\nBUSY\r\n");
    EXPECT_EQ(outcome_of(DialOutcome::kNoCarrier, ""), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(outcome_of(DialOutcome::kNoDialtone, ""), "\r\nNO DIALTONE\r\n");
    EXPECT_EQ(outcome_of(DialOutcome::kBusy, "X2"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(outcome_of(DialOutcome::kNoDialtone, "X1"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(outcome_of(DialOutcome::kConnect, "X0"), "\r\nCONNECT\r\n");
    EXPECT_EQ(outcome_of(DialOutcome::kBusy, "V0"), "7\r");
}

TEST(pagingsim_modem, FaultsCanBeLimitedToTheFirstCalls) {
    ModemConfig config = ModemHarness::Fast();
    config.outcome = DialOutcome::kBusy;
    config.fault_calls = 1;
    ModemHarness m(config);
    m.Say("ATE0\r");
    EXPECT_EQ(m.Connect(), "\r\nBUSY\r\n");
    EXPECT_EQ(m.Connect(), "\r\nCONNECT 2400\r\n");
}

TEST(pagingsim_modem, AnyKeyAbortsTheDial) {
    ModemHarness m;
    m.Say("ATE0\r");
    m.Say("ATDT1\r");
    EXPECT_EQ(m.Say("x"), "\r\nNO CARRIER\r\n");
    EXPECT_EQ(m.Wait(200ms), "");
    EXPECT_EQ(m.connects, 0);
}

TEST(pagingsim_modem, EscapeNeedsGuardTimesOnBothSides) {
    ModemHarness m;  // guard 200 ms
    m.Say("ATE0\r");
    m.Connect();
    std::string out = m.Wait(100ms);
    out += m.Say("+++");
    out += m.Wait(300ms);
    EXPECT_EQ(out, "") << "too soon after the last data";
    EXPECT_EQ(m.modem().mode(), HayesModem::Mode::kOnline);
    m.Wait(200ms);
    m.Say("+++");
    out = m.Wait(100ms);
    out += m.Say("A");
    out += m.Wait(300ms);
    EXPECT_EQ(out, "") << "data inside the after-guard";
    m.Wait(200ms);
    m.Say("++++");
    EXPECT_EQ(m.Wait(300ms), "") << "four are not an escape";
    m.Wait(200ms);
    m.Say("++");
    m.Wait(100ms);
    m.Say("+");
    EXPECT_EQ(m.Wait(199ms), "");
    EXPECT_EQ(m.Wait(1ms), "\r\nOK\r\n");
    EXPECT_EQ(m.modem().mode(), HayesModem::Mode::kCommand);
    ASSERT_TRUE(m.peer());
    EXPECT_NE(m.peer()->received.find("+++"), std::string::npos) << "the pluses went on as data";

    m.peer()->to_send = "lost";
    EXPECT_EQ(m.Say("AT\r"), "\r\nOK\r\n") << "the far end's data is not mixed into command answers";
    EXPECT_EQ(m.Say("ATO\r"), "\r\nCONNECT 2400\r\n");
    m.peer()->to_send = "X";
    EXPECT_EQ(m.Wait(1ms), "X");
    m.Wait(200ms);
    m.Say("+++");
    EXPECT_EQ(m.Wait(200ms), "\r\nOK\r\n");
    EXPECT_EQ(m.Say("ATH\r"), "\r\nOK\r\n");
    EXPECT_FALSE(m.modem().CallUp());
    EXPECT_EQ(m.modem().CallsEnded(), 1);
    EXPECT_EQ(m.Say("ATO\r"), "\r\nNO CARRIER\r\n");
}

TEST(pagingsim_modem, FarEndHangUpIsNoCarrier) {
    ModemHarness m;
    m.Say("ATE0\r");
    m.Connect();
    m.peer()->to_send = "\x1b\x04\r";
    m.peer()->hung_up = true;
    EXPECT_EQ(m.Wait(1ms), "\x1b\x04\r\r\nNO CARRIER\r\n");
    EXPECT_EQ(m.modem().mode(), HayesModem::Mode::kCommand);
    EXPECT_EQ(m.Say("AT\r"), "\r\nOK\r\n");
    EXPECT_EQ(m.modem().CallsEnded(), 1);
}

TEST(pagingsim_modem, LineDropInABlockReturnsToCommandMode) {
    ModemConfig config = ModemHarness::Fast();
    config.drop.in_block = 2;
    ModemHarness m(config);
    m.Connect();
    m.Say(
        "\x02"
        "1\r2\r\x03"
        "000\r");
    EXPECT_EQ(m.Say("\x02"
                    "12\r"),
              "\r\nNO CARRIER\r\n12\r")
        << "the rest of the block is echoed as commands";
    EXPECT_FALSE(m.modem().CallUp());
    EXPECT_NE(m.Connect().find("CONNECT 2400"), std::string::npos) << "the next call is not dropped early";
}

TEST(pagingsim_modem, ClosingThePortEndsTheCallAndRestoresSettings) {
    ModemHarness m;
    m.Say("ATE0\r");
    m.Connect();
    m.modem().ComputerClosed(TimePoint{});
    EXPECT_FALSE(m.modem().CallUp());
    EXPECT_EQ(m.Say("AT\r"), "AT\r\r\nOK\r\n");
}

TEST(pagingsim_line_drop, CountsBytesAndBlocksOfOneConnection) {
    LineDrop bytes({.after_bytes = 5, .in_block = 0});
    EXPECT_EQ(bytes.Admit("abc"), 3u);
    EXPECT_FALSE(bytes.Dropped());
    EXPECT_EQ(bytes.Admit("defg"), 2u);
    EXPECT_TRUE(bytes.Dropped());
    EXPECT_EQ(bytes.Admit("h"), 0u);

    LineDrop exact({.after_bytes = 3, .in_block = 0});
    EXPECT_EQ(exact.Admit("abc"), 3u);
    EXPECT_TRUE(exact.Dropped()) << "the line goes as soon as the count is reached";

    LineDrop block({.after_bytes = 0, .in_block = 2});
    EXPECT_EQ(block.Admit("\x02"
                          "ab"),
              3u);
    EXPECT_EQ(block.Admit("c\x02"
                          "de"),
              2u);
    EXPECT_TRUE(block.Dropped());
}

}  // namespace
}  // namespace pagingsim
