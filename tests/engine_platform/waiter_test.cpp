#include "engine/platform/waiter.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/platform/paced_io.h"

namespace rkl::platform {
namespace {

// Counts the pumps of a wait and the real time it took, to show that waiting sleeps: a wait
// that spun would pump far more often than once per pump interval.
struct PumpCounter {
    int pumps = 0;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    Waiter::Pump pump() {
        return [this] { ++pumps; };
    }
    long long elapsed_ms() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    }
    // Every pump but the last is followed by a full pump interval of sleep.
    int most_pumps_for_elapsed() const {
        return static_cast<int>(elapsed_ms() / Waiter::kPumpIntervalMilliseconds) + 2;
    }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(std::int64_t ms) : ms_(ms) {}
    std::int64_t NowMilliseconds() const override { return ms_; }

private:
    std::int64_t ms_;
};

TEST(Waiter, DelayEndsPastItsTickNeverEarlyAndSleepsBetweenPumps) {
    for (int ticks : {0, 1, 3, 12}) {
        PumpCounter counter;
        Waiter waiter(SystemClock(), counter.pump());
        const Tick start = waiter.NowTick();
        EXPECT_EQ(Delay(waiter, ticks), WaitEnd::TickPassed);
        EXPECT_GT(waiter.NowTick(), start + ticks) << ticks;
        EXPECT_GE(counter.pumps, 1);
        EXPECT_LE(counter.pumps, counter.most_pumps_for_elapsed()) << ticks;
    }
}

TEST(Waiter, DelayZeroEndsAtTheNextTickBoundary) {
    Waiter waiter;
    // Start just after a boundary, so the wait has most of a tick to go.
    const Tick previous = waiter.NowTick();
    while (waiter.NowTick() == previous)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Tick start = waiter.NowTick();
    EXPECT_EQ(Delay(waiter, 0), WaitEnd::TickPassed);
    EXPECT_EQ(SystemClock().NowMilliseconds() >= Clock::FirstMillisecondAfter(start), true);
}

TEST(Waiter, TargetAlreadyPassedReturnsWithoutPumping) {
    PumpCounter counter;
    FixedClock clock(1000 * kTickMilliseconds);
    Waiter waiter(clock, counter.pump());
    EXPECT_EQ(waiter.WaitPastTick(999), WaitEnd::TickPassed);
    EXPECT_EQ(waiter.WaitForInputPastTick(-5, -1), WaitEnd::TickPassed);
    EXPECT_EQ(counter.pumps, 0);
}

TEST(Waiter, StopPredicateEndsAWaitAfterAPump) {
    PumpCounter counter;
    Waiter waiter(SystemClock(), counter.pump(), [&] { return counter.pumps >= 3; });
    EXPECT_EQ(waiter.WaitPastTick(waiter.NowTick() + 1000), WaitEnd::Stopped);
    EXPECT_EQ(counter.pumps, 3);
}

class Pipe {
public:
    Pipe() { EXPECT_EQ(pipe2(fds_, O_CLOEXEC | O_NONBLOCK), 0); }
    ~Pipe() {
        CloseWriter();
        close(fds_[0]);
    }
    int reader() const { return fds_[0]; }
    int writer() const { return fds_[1]; }
    void CloseWriter() {
        if (fds_[1] >= 0) close(fds_[1]);
        fds_[1] = -1;
    }

private:
    int fds_[2] = {-1, -1};
};

TEST(Waiter, InputWakesTheWaitLongBeforeItsDeadline) {
    Pipe pipe;
    Waiter waiter;
    const Tick deadline = waiter.NowTick() + 600;  // ten seconds
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(60));
        EXPECT_EQ(write(pipe.writer(), "x", 1), 1);
    });
    EXPECT_EQ(waiter.WaitForInputPastTick(deadline, pipe.reader()), WaitEnd::Ready);
    writer.join();
    EXPECT_LT(waiter.NowTick(), deadline);
}

TEST(Waiter, HungUpDescriptorEndsTheWaitAtOnce) {
    Pipe pipe;
    pipe.CloseWriter();
    Waiter waiter;
    const Tick target = waiter.NowTick() + 600;
    EXPECT_EQ(waiter.WaitForInputPastTick(target, pipe.reader()), WaitEnd::Failed);
    EXPECT_LT(waiter.NowTick(), target);
}

TEST(Waiter, WritableWaitSleepsUntilRoomOrStop) {
    Pipe pipe;
    Waiter ready;
    EXPECT_EQ(ready.WaitWritable(pipe.writer()), WaitEnd::Ready);
    EXPECT_EQ(ready.WaitWritable(-1), WaitEnd::Failed);

    char block[4096] = {};
    while (write(pipe.writer(), block, sizeof block) > 0) {
    }
    PumpCounter counter;
    Waiter waiter(SystemClock(), counter.pump(), [&] { return counter.pumps >= 4; });
    EXPECT_EQ(waiter.WaitWritable(pipe.writer()), WaitEnd::Stopped);
    EXPECT_LE(counter.pumps, counter.most_pumps_for_elapsed());
}

}  // namespace
}  // namespace rkl::platform
