#pragma once
// Waiting in a Qt test: events keep flowing (timers, the session driver's idle steps) while
// the condition is polled, and a short sleep between looks keeps the wait off the CPU.

#include <functional>

// True as soon as `predicate` holds; false when `milliseconds` pass first.
bool WaitFor(const std::function<bool()>& predicate, int milliseconds = 5000);
