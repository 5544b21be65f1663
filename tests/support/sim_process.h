#pragma once
// kvr-sim as a child process: started with its options, its pseudo-terminal path read from
// its first output line, stopped (SIGTERM) and reaped when the object goes away.
#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kvr {
class Acquisition;
}

namespace kvrtest {

// The request a reply of kvr-sim --counter-values answered: channel c of `channels` holds
// 8n+c+1. -1 for anything no single reply holds, zeros included.
int CounterRequestOf(const float* values, int channels);
// The same for the two totals of that reply: both 32-bit halves of the flow total hold n,
// the heat total is twice the flow total.
int CounterRequestOf(std::int64_t flowTotal, std::int64_t heatTotal);

class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& arguments);
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    bool Running() const { return pid_ > 0 && !path_.empty(); }
    const std::string& Path() const { return path_; }
    // Stops the simulator and returns the number of requests it saw (-1 if unknown).
    int Stop();

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string path_;
    std::string log_;
    int requests_ = -1;
};

// Lets an acquisition engine talk to kvr-sim without the protocol's fixed delays and poll
// every 20 ms, so that tests and screenshots get their records in moments.
void SpeedUpForSim(kvr::Acquisition& engine);

}  // namespace kvrtest
