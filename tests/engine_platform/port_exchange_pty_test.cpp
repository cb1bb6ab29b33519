// SEND, RECV and BREAK over a pseudo-terminal whose other side answers like a modem.

#include <errno.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "engine/platform/paced_io.h"
#include "engine/platform/serial_port.h"
#include "engine/text_exchange/recv_text_set.h"
#include "tests/engine_platform/pty_pair.h"

namespace rkl::platform {
namespace {

// Answers AT commands the way a Hayes modem does, until the line closes.
class ModemPeer {
public:
    explicit ModemPeer(const testing::PtyPair& line) : line_(line), thread_([this] { Run(); }) {}
    ~ModemPeer() {
        stop_ = true;
        thread_.join();
    }
    std::string heard() const { return heard_; }

private:
    void Run() {
        std::string command;
        while (!stop_) {
            for (char c : line_.PeerRead(20)) {
                heard_ += c;
                if (c != '\r') {
                    command += c;
                    continue;
                }
                if (command == "AT")
                    line_.PeerWrite("\r\nOK\r\n");
                else if (command.rfind("ATDT", 0) == 0)
                    line_.PeerWrite("\r\nCONNECT 2400\r\n");
                else
                    line_.PeerWrite("\r\nERROR\r\n");
                command.clear();
            }
        }
    }

    const testing::PtyPair& line_;
    std::atomic<bool> stop_{false};
    std::string heard_;  // read only after the thread has joined
    std::thread thread_;
};

class PortExchange : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(line_.ok());
        ASSERT_EQ(port_.OpenPrepared(line_.device(), record_), 0);
    }
    // RECV as the interpreter runs it: push each byte, match, stop on a match.
    ReceiveEnd Recv(int ticks, std::string* label = nullptr) {
        const Tick deadline = waiter_.NowTick() + ticks;
        return ReceiveUntil(&port_, deadline, waiter_, [&](unsigned char c) {
            received_ += static_cast<char>(c);
            ring_.Push(c);
            const TRecvText* hit = texts_.MatchBuffer(ring_);
            if (hit != nullptr && label != nullptr) *label = hit->label;
            return hit != nullptr;
        });
    }

    testing::PtyPair line_;
    SerialPort port_;
    SerialSettings record_;
    int pumps_ = 0;
    Waiter waiter_{SystemClock(), [this] { ++pumps_; }};
    std::array<unsigned char, 256> storage_{};
    TCharRing ring_{storage_.data(), 256};
    TRecvTextSet texts_;
    std::string received_;
};

TEST_F(PortExchange, DialogueWithAModem) {
    std::string sent;
    {
        ModemPeer modem(line_);
        texts_.Arm(0, "ok", "OK\r\n");
        texts_.Arm(1, "error", "ERROR\r\n");
        ASSERT_EQ(
            SendPaced(&port_, "AT\r", 0, waiter_, [&](unsigned char c) { sent += static_cast<char>(c); }),
            WaitEnd::TickPassed);
        std::string label;
        EXPECT_EQ(Recv(300, &label), ReceiveEnd::Matched);
        EXPECT_EQ(label, "ok");

        texts_.Arm(0, "connect", "CONNECT");
        texts_.Arm(1, "busy", "BUSY");
        ASSERT_EQ(SendPaced(&port_, "ATDT5551234\r", 0, waiter_, {}), WaitEnd::TickPassed);
        EXPECT_EQ(Recv(300, &label), ReceiveEnd::Matched);
        EXPECT_EQ(label, "connect");
        // RECV takes bytes one at a time: what followed the match is still waiting.
        unsigned char next = 0;
        EXPECT_EQ(port_.ReadByte(next), SerialPort::ReadResult::Byte);
        EXPECT_EQ(next, ' ');
    }
    EXPECT_EQ(sent, "AT\r");
    EXPECT_EQ(received_, "\r\nOK\r\n\r\nCONNECT");
}

TEST_F(PortExchange, SendPacingWaitsDelayTicksAfterEachByte) {
    const Tick start = waiter_.NowTick();
    EXPECT_EQ(SendPaced(&port_, "HELLO", 3, waiter_, {}), WaitEnd::TickPassed);
    EXPECT_GE(waiter_.NowTick() - start, 15);
    EXPECT_EQ(line_.PeerRead(100), "HELLO");

    // Even without a delay every byte waits for the next tick boundary.
    const Tick again = waiter_.NowTick();
    EXPECT_EQ(SendPaced(&port_, "ABCD", 0, waiter_, {}), WaitEnd::TickPassed);
    EXPECT_GE(waiter_.NowTick() - again, 4);
    EXPECT_EQ(SendPaced(&port_, "", 5, waiter_, {}), WaitEnd::TickPassed);
}

TEST_F(PortExchange, SendWithoutAPortPacesAndLosesTheBytes) {
    const Tick start = waiter_.NowTick();
    int traced = 0;
    EXPECT_EQ(SendPaced(nullptr, "AB", 1, waiter_, [&](unsigned char) { ++traced; }), WaitEnd::TickPassed);
    EXPECT_EQ(traced, 2);
    EXPECT_GE(waiter_.NowTick() - start, 4);
}

TEST_F(PortExchange, QuietLineTimesOutPastTheDeadlineWithoutSpinning) {
    texts_.Arm(0, "ok", "OK");
    const auto began = std::chrono::steady_clock::now();
    const Tick start = waiter_.NowTick();
    EXPECT_EQ(Recv(20), ReceiveEnd::TimedOut);
    EXPECT_GT(waiter_.NowTick(), start + 20);
    const auto elapsed_ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - began)
            .count();
    EXPECT_LE(pumps_, elapsed_ms / Waiter::kPumpIntervalMilliseconds + 2);

    // RECV 0 still waits for the tick to change.
    const Tick zero_start = waiter_.NowTick();
    EXPECT_EQ(Recv(0), ReceiveEnd::TimedOut);
    EXPECT_GT(waiter_.NowTick(), zero_start);
}

TEST_F(PortExchange, NulBytesAreNeverMatchedAndUnmatchedInputRunsToTheDeadline) {
    texts_.Arm(0, "ok", "OK");
    line_.PeerWrite(std::string("O\0K", 3));
    EXPECT_EQ(Recv(10), ReceiveEnd::Matched);
    EXPECT_EQ(received_, "OK");
    line_.PeerWrite("NOTHING HERE");
    EXPECT_EQ(Recv(10), ReceiveEnd::TimedOut);
    EXPECT_EQ(received_, "OKNOTHING HERE");
}

// The device gone (the other side of the pseudo-terminal closed, as a USB adapter pulled
// out): a receive and a send end at once. A closed port waits out its time.
TEST_F(PortExchange, LostDeviceEndsAtOnceAndAClosedPortWaitsOutItsTime) {
    line_.ClosePeer();
    const Tick start = waiter_.NowTick();
    EXPECT_EQ(Recv(600), ReceiveEnd::Lost);
    EXPECT_LT(waiter_.NowTick(), start + 600);
    EXPECT_EQ(SendPaced(&port_, "AT", 0, waiter_, {}), WaitEnd::Failed);

    port_.Close();
    const Tick closed_start = waiter_.NowTick();
    EXPECT_EQ(ReceiveUntil(nullptr, closed_start + 3, waiter_, {}), ReceiveEnd::TimedOut);
    EXPECT_EQ(ReceiveUntil(&port_, waiter_.NowTick() + 3, waiter_, {}), ReceiveEnd::TimedOut);
    EXPECT_GT(waiter_.NowTick(), closed_start + 6);
}

TEST_F(PortExchange, CancelEndsAReceiveEarly) {
    Waiter cancellable(SystemClock(), {}, [this] { return ++pumps_ > 5; });
    const Tick start = cancellable.NowTick();
    EXPECT_EQ(ReceiveUntil(&port_, start + 6000, cancellable, {}), ReceiveEnd::Stopped);
    EXPECT_LT(cancellable.NowTick(), start + 6000);
}

TEST_F(PortExchange, BreakLastsItsTicksAndClearsOnAPseudoTerminal) {
    const Tick start = waiter_.NowTick();
    EXPECT_EQ(SendBreak(port_, 2, waiter_), 0);
    EXPECT_GT(waiter_.NowTick(), start + 2);
    port_.Close();
    EXPECT_EQ(SendBreak(port_, 0, waiter_), EBADF);
}

}  // namespace
}  // namespace rkl::platform
