#include "support/sim_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/link/acquisition.h"

extern char** environ;

namespace kvrtest {

int CounterRequestOf(const float* values, int channels) {
    const float n = (values[0] - 1) / 8;
    if (n < 1 || std::floor(n) != n) return -1;
    for (int c = 1; c < channels; ++c)
        if (values[c] != 8 * n + static_cast<float>(c + 1)) return -1;
    return static_cast<int>(n);
}

int CounterRequestOf(std::int64_t flowTotal, std::int64_t heatTotal) {
    const auto high = static_cast<std::uint64_t>(flowTotal) >> 32;
    const auto low = static_cast<std::uint64_t>(flowTotal) & 0xFFFFFFFFu;
    return high == low && low > 0 && heatTotal == 2 * flowTotal ? static_cast<int>(low) : -1;
}

namespace {

// Reads what fd delivers until it closes or the timeout passes.
std::string Drain(int fd, int timeoutMs, bool stopAtNewline) {
    std::string text;
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        if (::poll(&entry, 1, timeoutMs) <= 0) break;
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (stopAtNewline && text.find('\n') != std::string::npos) break;
    }
    return text;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& arguments) {
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    const std::string program = std::string(KVR_TOOLS_DIR) + "/kvr-sim";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
    if (pid_ <= 0) return;
    const std::string line = Drain(outFd_, 5000, true);
    const std::size_t newline = line.find('\n');
    if (newline != std::string::npos) path_ = line.substr(0, newline);
}

int SimProcess::Stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        log_ += Drain(errFd_, 5000, false);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        int requests = 0;
        const std::size_t at = log_.find("kvr-sim: ");
        if (at != std::string::npos &&
            std::sscanf(log_.c_str() + at, "kvr-sim: %d requests", &requests) == 1)
            requests_ = requests;
    }
    return requests_;
}

SimProcess::~SimProcess() {
    Stop();
    if (outFd_ >= 0) ::close(outFd_);
    if (errFd_ >= 0) ::close(errFd_);
}

void SpeedUpForSim(kvr::Acquisition& engine) {
    engine.SetDelayScale(0);
    kvr::AcquisitionLimits limits;
    limits.pollPeriodMs = 20;
    engine.SetLimits(limits);
}

}  // namespace kvrtest
