#include "tools/kvrtool/interrupt_guard.h"

#include <signal.h>

#include <algorithm>
#include <csignal>
#include <thread>

#include "core/analysis/temp_target.h"

namespace kvrtool {

namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction oldInt {
}, oldTerm{};

extern "C" void OnInterrupt(int) { interrupted = 1; }

extern "C" void RemoveUnfinishedAndDie(int signal) {
    kvr::TempTarget::RemovePendingFiles();
    // The handler was installed to run once: the signal, raised again, ends the process.
    ::raise(signal);
}

}  // namespace

InterruptGuard::InterruptGuard() {
    interrupted = 0;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
}

bool Interrupted() { return interrupted != 0; }

RemoveUnfinishedOnSignal::RemoveUnfinishedOnSignal() {
    struct sigaction action {};
    action.sa_handler = RemoveUnfinishedAndDie;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &action, &old_[i]);
}

RemoveUnfinishedOnSignal::~RemoveUnfinishedOnSignal() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) sigaction(kSignals[i], &old_[i], nullptr);
}

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    while (!Interrupted() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            deadline - std::chrono::steady_clock::now(), std::chrono::milliseconds(50)));
}

}  // namespace kvrtool
