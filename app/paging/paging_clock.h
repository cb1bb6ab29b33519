#pragma once
// "Now" for the paging engine: seconds since 1970-01-01 00:00 UTC as the 32-bit unsigned
// value the files hold. Injected, so tests move the clock instead of waiting.

#include <cstdint>

class IClock {
public:
    virtual ~IClock() = default;
    virtual uint32_t Now() const = 0;
};

// The system's wall clock.
class SystemClock final : public IClock {
public:
    uint32_t Now() const override;
};

// A clock that only moves when told to.
class ManualClock final : public IClock {
public:
    explicit ManualClock(uint32_t now = 0) : now_(now) {}
    uint32_t Now() const override { return now_; }
    void Set(uint32_t now) { now_ = now; }
    void Advance(uint32_t seconds) { now_ += seconds; }

private:
    uint32_t now_;
};
