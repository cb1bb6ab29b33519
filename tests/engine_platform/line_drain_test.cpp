// SEND pacing and the drain before a close, against a fake line whose bytes leave at the
// speed of a slow modem line. Its clock moves on with every pump, so the waits run through
// in a fraction of their nominal time.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/platform/paced_io.h"
#include "engine/platform/port.h"
#include "engine/platform/waiter.h"

namespace rkl::platform {
namespace {

class SteppedClock final : public Clock {
public:
    std::int64_t NowMilliseconds() const override { return now_ms; }
    std::int64_t now_ms = 1'000'000;
};

// A line at `baud` (10 bits a character): each byte leaves one character time after the
// previous one left or after it was written, whichever is later; a held line sends nothing.
class FakeLine final : public Port {
public:
    FakeLine(const Clock& clock, int baud, bool held) : clock_(clock), baud_(baud), held_(held) {}

    int OpenLine(const std::string&, SerialSettings&, Waiter&) override { return 0; }
    std::string OpenErrorText(int) const override { return {}; }
    int Close(Waiter*) override { return 0; }
    bool IsOpen() const override { return true; }
    int fd() const override { return -1; }
    int WriteByte(unsigned char, Waiter*) override {
        const std::int64_t now_us = clock_.NowMilliseconds() * 1000;
        const std::int64_t start = departures_us.empty() ? now_us : std::max(now_us, departures_us.back());
        written_us.push_back(now_us);
        departures_us.push_back(start + CharacterMicroseconds());
        return 0;
    }
    ReadResult ReadByte(unsigned char&) override { return ReadResult::Nothing; }
    int last_error() const override { return 0; }
    int OutputPending() const override {
        if (held_) return static_cast<int>(departures_us.size());
        const std::int64_t now_us = clock_.NowMilliseconds() * 1000;
        return static_cast<int>(std::count_if(departures_us.begin(), departures_us.end(),
                                              [&](std::int64_t t) { return t > now_us; }));
    }
    std::int64_t CharacterMicroseconds() const override { return 10'000'000 / baud_; }

    std::vector<std::int64_t> written_us;
    std::vector<std::int64_t> departures_us;

private:
    const Clock& clock_;
    int baud_;
    bool held_;
};

constexpr int kStepMs = 10;

TEST(LineDrain, WaitsForTheLineAndGivesUpOnAStallOrAStop) {
    struct Case {
        const char* name;
        bool held;
        int stop_after_pumps;  // 0: never
        DrainEnd expected;
    };
    for (const Case& c : {Case{"drains", false, 0, DrainEnd::Drained},
                          Case{"held by the handshake", true, 0, DrainEnd::Stalled},
                          Case{"cancelled", true, 5, DrainEnd::Stopped}}) {
        SteppedClock clock;
        int pumps = 0;
        Waiter waiter(
            clock,
            [&] {
                ++pumps;
                clock.now_ms += kStepMs;
            },
            [&] { return c.stop_after_pumps > 0 && pumps >= c.stop_after_pumps; });
        FakeLine line(clock, 300, c.held);
        for (int i = 0; i < 10; ++i)
            line.WriteByte('x', nullptr);
        const std::int64_t start_ms = clock.now_ms;
        EXPECT_EQ(WaitOutputSent(line, waiter, 500), c.expected) << c.name;
        const std::int64_t took_ms = clock.now_ms - start_ms;
        switch (c.expected) {
            case DrainEnd::Drained:
                EXPECT_EQ(line.OutputPending(), 0);
                EXPECT_LT(took_ms, 333 + 2 * kStepMs) << "ten characters at 300 baud";
                break;
            case DrainEnd::Stalled:
                EXPECT_GE(took_ms, 500);
                EXPECT_LT(took_ms, 500 + 2 * kStepMs);
                break;
            case DrainEnd::Stopped:
                EXPECT_EQ(pumps, c.stop_after_pumps);
                break;
        }
    }
}

TEST(LineDrain, SendTakesEachTickWhenItsByteHasLeftTheLine) {
    SteppedClock clock;
    Waiter waiter(clock, [&] { clock.now_ms += kStepMs; });
    FakeLine line(clock, 300, false);
    EXPECT_EQ(SendPaced(&line, "ATZ\r", 0, waiter, {}), WaitEnd::TickPassed);
    ASSERT_EQ(line.written_us.size(), 4u);
    // The next byte goes out only after the one before it left, plus the pacing tick; a
    // tick taken when the byte was merely queued would let the writes run ahead of the line.
    for (size_t i = 1; i < line.written_us.size(); ++i) {
        EXPECT_GT(line.written_us[i], line.departures_us[i - 1]) << i;
    }
    EXPECT_GE(clock.now_ms * 1000, line.departures_us.back());
}

TEST(LineDrain, AStalledLineCostsOneStallPerSendNotOnePerByte) {
    SteppedClock clock;
    Waiter waiter(clock, [&] { clock.now_ms += 10 * kStepMs; });
    FakeLine line(clock, 300, true);
    const std::int64_t start_ms = clock.now_ms;
    EXPECT_EQ(SendPaced(&line, "0123456789", 0, waiter, {}), WaitEnd::TickPassed);
    EXPECT_EQ(line.written_us.size(), 10u);
    EXPECT_LT(clock.now_ms - start_ms, 2 * kLineStallMilliseconds);
}

}  // namespace
}  // namespace rkl::platform
