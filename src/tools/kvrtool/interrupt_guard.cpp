#include "tools/kvrtool/interrupt_guard.h"

#include <signal.h>

#include <algorithm>
#include <csignal>
#include <thread>

namespace kvrtool {

namespace {

volatile std::sig_atomic_t interrupted = 0;
struct sigaction oldInt {
}, oldTerm{};

extern "C" void OnInterrupt(int) { interrupted = 1; }

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

void SleepUntil(std::chrono::steady_clock::time_point deadline) {
    while (!Interrupted() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            deadline - std::chrono::steady_clock::now(), std::chrono::milliseconds(50)));
}

}  // namespace kvrtool
