#pragma once
// SIGINT and SIGTERM as a request to end: a long-running command checks Interrupted() and
// still saves what it recorded.
#include <chrono>

namespace kvrtool {

// Catches both signals for as long as it lives.
class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

bool Interrupted();
// Sleeps until the deadline in short steps, so that a signal ends the wait at once.
void SleepUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace kvrtool
