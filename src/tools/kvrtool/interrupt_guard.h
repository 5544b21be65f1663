#pragma once
// What kvrtool does on the signals that end it. InterruptGuard: SIGINT and SIGTERM as a
// request to end, so that a long-running command checks Interrupted() and still saves
// what it recorded. RemoveUnfinishedOnSignal: the signals end the process at once, but
// not before the unfinished file of an export is removed.
#include <signal.h>

#include <chrono>
#include <iterator>

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

// While it lives, SIGINT, SIGTERM and SIGHUP remove every unfinished export file
// (".NAME.XXXXXX") before they end the process as they would have.
class RemoveUnfinishedOnSignal {
public:
    RemoveUnfinishedOnSignal();
    ~RemoveUnfinishedOnSignal();
    RemoveUnfinishedOnSignal(const RemoveUnfinishedOnSignal&) = delete;
    RemoveUnfinishedOnSignal& operator=(const RemoveUnfinishedOnSignal&) = delete;

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction old_[std::size(kSignals)] = {};
};

// Sleeps until the deadline in short steps, so that a signal ends the wait at once.
void SleepUntil(std::chrono::steady_clock::time_point deadline);

}  // namespace kvrtool
