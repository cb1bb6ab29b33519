// SEND, RECVTEXT and RECV over a pseudo-terminal: pacing, the matcher across RECV calls,
// time-outs, hang-ups, cancel and the character traces.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "tests/engine_serial/serial_script_harness.h"

namespace engine_serial_test {
namespace {

// Answers like a Hayes modem: AT commands end with CR; ATZ and AT get OK, ATD gets
// CONNECT, anything else ERROR.
class ModemPeer {
public:
    explicit ModemPeer(const rkl::testing::PtyPair& line) : line_(line), thread_([this] { Run(); }) {}
    ~ModemPeer() {
        stop_ = true;
        thread_.join();
    }

private:
    void Run() {
        std::string command;
        while (!stop_) {
            for (char c : line_.PeerRead(10)) {
                if (c != '\r') {
                    command += c;
                    continue;
                }
                if (command == "AT" || command == "ATZ")
                    line_.PeerWrite("\r\nOK\r\n");
                else if (command.rfind("ATD", 0) == 0)
                    line_.PeerWrite("\r\nCONNECT 2400\r\n");
                else
                    line_.PeerWrite("\r\nERROR\r\n");
                command.clear();
            }
        }
    }

    const rkl::testing::PtyPair& line_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

constexpr const char* kOpen = "OPENPORT COM1 Failed\n";
constexpr const char* kFailed = "LABEL Failed\nEXIT 7 no port\n";

TEST(Send, DecodesEscapesButSendAsIsDoesNot) {
    SerialScript s(std::string(kOpen) + "SEND AT{missing}Z$0d$00$0G\nSENDASIS A$0D\nEXIT 0\n" + kFailed);
    s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_EQ(s.line().PeerRead(50), "ATZ\r$0GA$0D");
}

TEST(Send, EachCharacterWaitsPastTheSendDelay) {
    SerialScript s(std::string(kOpen) + "SENDDELAY 3\nSEND ABCDE\nEXIT 0\n" + kFailed);
    const auto took = s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_GE(took.count(), 5 * 3 * 17);
    EXPECT_EQ(s.line().PeerRead(50), "ABCDE");
    EXPECT_GT(SerialScript::pumps, 5);  // the host stayed alive between characters
}

TEST(Send, OnAClosedPortTheTextIsLostSilently) {
    SerialScript s("SEND ATZ$0D\nEXIT 0 went on\n");
    s.Run();
    EXPECT_EQ(s.code(), 0);
    EXPECT_EQ(s.text(), "went on");
}

TEST(Recv, ResetsAModemAndJumpsOnItsAnswer) {
    SerialScript s(std::string(kOpen) +
                   "RECVTEXT 0 Ok OK$0D\nRECVTEXT 1 Err ERROR\nSEND ATZ$0D\nRECV 120\nEXIT 1 silence\n"
                   "LABEL Ok\nRECVTEXT 0 Conn CONNECT\nSEND ATDT555$0D\nRECV 120\nEXIT 1 silence\n"
                   "LABEL Conn\nEXIT 0 connected\nLABEL Err\nEXIT 2 error\n" +
                   kFailed);
    ModemPeer modem(s.line());
    s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
}

TEST(Recv, CharactersReceivedEarlierStillCount) {
    SerialScript s(std::string(kOpen) +
                   "RECV 3\nRECVTEXT 0 Conn CONNECT\nRECV 120\nEXIT 1 timed out\n"
                   "LABEL Conn\nEXIT 0 matched\n" +
                   kFailed);
    s.line().PeerWrite("CONNEC");
    s.engine().Run("M");
    s.engine().DoIdle();  // OPENPORT
    s.engine().DoIdle();  // RECV 3
    EXPECT_EQ(s.engine().MatchRing().Count(), 6);
    s.engine().DoIdle();  // RECVTEXT: arming does not match what is already there
    s.line().PeerWrite("T");
    s.Continue();
    EXPECT_EQ(s.code(), 0) << s.text();
    EXPECT_EQ(s.text(), "matched");
}

TEST(Recv, TheShortestArmedTextWinsAndZeroBytesAreIgnored) {
    SerialScript s(std::string(kOpen) +
                   "RECVTEXT 0 Long OK\nRECVTEXT 1 Short K\nRECV 120\nEXIT 1 none\n"
                   "LABEL Long\nEXIT 2 long\nLABEL Short\nEXIT 0 short\n" +
                   kFailed);
    s.line().PeerWrite(std::string("O\0K", 3));
    s.Run();
    EXPECT_EQ(s.text(), "short");
    EXPECT_EQ(s.engine().MatchRing().Count(), 2);  // the NUL never entered the buffer
}

TEST(Recv, ArmingASlotDisarmsItAndEveryHigherOne) {
    SerialScript s(
        std::string(kOpen) +
        "RECVTEXT 0 A0 AAA\nRECVTEXT 1 A1 BBB\nRECVTEXT 2 A2 CCC\nRECVTEXT 3 A3 DDD\nRECVTEXT 4 A4 EEE\n"
        "RECVTEXT 2 New XYZ\nRECV 30\nEXIT 1 timed out\n"
        "LABEL A0\nEXIT 10 a0\nLABEL A1\nEXIT 11 a1\nLABEL A2\nEXIT 12 a2\nLABEL A3\nEXIT 13 a3\n"
        "LABEL A4\nEXIT 14 a4\nLABEL New\nEXIT 20 new\n" +
        kFailed);
    s.line().PeerWrite("DDD EEE CCC BBB");
    s.Run();
    EXPECT_EQ(s.code(), 11) << s.text();  // DDD, EEE and CCC are gone; BBB still matches
    EXPECT_EQ(s.engine().RecvTexts().armedCount(), 3);
}

TEST(Recv, TimesOutAndGoesOnWithTheNextLineWhileTextsStayArmed) {
    SerialScript s(std::string(kOpen) +
                   "RECVTEXT 0 Ok OK\nRECV 6\nEXIT 0 timed out\nLABEL Ok\nEXIT 1 matched\n" + kFailed);
    const auto took = s.Run();
    EXPECT_EQ(s.text(), "timed out");
    EXPECT_GE(took.count(), 6 * 17);
    EXPECT_EQ(s.engine().RecvTexts().armedCount(), 1);
}

TEST(Recv, AClosedPortWaitsOutItsTime) {
    SerialScript closed("RECVTEXT 0 Ok OK\nRECV 4\nEXIT 0 waited\nLABEL Ok\nEXIT 1 matched\n");
    const auto closedTook = closed.Run();
    EXPECT_EQ(closed.text(), "waited");
    EXPECT_GE(closedTook.count(), 4 * 17);
}

// The modem unplugged in the middle of a RECV: the entry stops at once with -202, and so does
// a later SEND (DISCONNECT) until OPENPORT opens the port afresh.
TEST(Recv, ALostDeviceStopsTheEntryUntilThePortIsOpenedAgain) {
    SerialScript lost(std::string(kOpen) +
                      "RECVTEXT 0 Ok OK\nRECV 600\nEXIT 0 waited\nLABEL Ok\nEXIT 1 matched\n" + kFailed +
                      "ENTRY D\nLABEL D\nSEND ATH$0D\nEXIT 0 sent\n");
    rkl::testing::PtyPair& line = lost.line();
    SerialScript::onPump = [&line] {
        if (SerialScript::pumps == 2) line.ClosePeer();
    };
    const auto took = lost.Run();
    EXPECT_EQ(lost.code(), -202);
    EXPECT_EQ(lost.text(), "Port Lost: \"COM1\"");
    EXPECT_LT(took.count(), 600 * 17);
    EXPECT_LT(SerialScript::pumps, 1000);  // slept between pumps, never spun
    lost.Run("D");
    EXPECT_EQ(lost.code(), -202);
}

TEST(Recv, AMissingLabelStopsWithMinus13) {
    SerialScript s(std::string(kOpen) + "RECVTEXT 0 Nowhere OK\nRECV 60\nEXIT 0\n" + kFailed);
    s.line().PeerWrite("OK");
    s.Run();
    EXPECT_EQ(s.code(), -13);
    EXPECT_EQ(s.text(), "Jump: No Label \"Nowhere\"");
}

TEST(Recv, ACancelFromTheHostEndsALongWaitPromptly) {
    SerialScript s(std::string(kOpen) + "RECV 6000\nEXIT 0 waited\n" + kFailed);
    rkl::TWinRKL& engine = s.engine();
    SerialScript::onPump = [&engine] {
        if (SerialScript::pumps == 20) engine.Cancel();
    };
    const auto took = s.Run();
    EXPECT_EQ(s.code(), -2);
    EXPECT_LT(took.count(), 3000);
}

TEST(Recv, ACancelInsideInterruptOffWaitsForTheOnLine) {
    SerialScript s(std::string(kOpen) + "INTERRUPT OFF\nRECV 10\nINTERRUPT ON\nEXIT 0 not reached\n" +
                   kFailed);
    rkl::TWinRKL& engine = s.engine();
    SerialScript::onPump = [&engine] {
        if (SerialScript::pumps == 2) engine.Cancel();
    };
    const auto took = s.Run();
    EXPECT_EQ(s.code(), -2);
    EXPECT_GE(took.count(), 10 * 17);  // the protected RECV ran its full time
}

TEST(Traces, CharactersUseTheControlNamesAndCommandsTheirFormats) {
    SerialScript s(std::string("DEBUG 11\n") + kOpen +
                   "SEND A$0D\nRECVTEXT 0 Ok OK\nRECV 60\nEXIT 1\nLABEL Ok\nEXIT 0\n" + kFailed);
    s.line().PeerWrite("\x06OK");
    s.Run();
    EXPECT_EQ(s.code(), 0) << s.text();
    std::string all;
    for (const auto& t : SerialScript::traces)
        all += t + "|";
    EXPECT_NE(all.find("TWinRKL::OpenPort ('COM1 Failed');\r|"), std::string::npos) << all;
    EXPECT_NE(all.find("TWinRKL::Send ('A\r');\r|A|<CR >\r|"), std::string::npos) << all;
    EXPECT_NE(all.find("TWinRKL::Recv ('60');\r|<ACK>|O|K|"), std::string::npos) << all;
}

}  // namespace
}  // namespace engine_serial_test
