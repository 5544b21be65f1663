#pragma once
// Which replies the simulator spoils, counted over the requests addressed to it.
#include "tools/kvr-sim/sim_options.h"

namespace kvrsim {

struct FaultDecision {
    bool reply = true;       // false: stay silent
    bool corrupt = false;    // send the reply with a wrong checksum
    bool exception = false;  // answer with the exception code instead
    int delayMs = 0;
};

class FaultPlan {
public:
    explicit FaultPlan(const SimOptions& options) : options_(options) {}
    // For the next request (the first is number 1).
    FaultDecision Next();
    int Requests() const { return requests_; }

private:
    SimOptions options_;
    int requests_ = 0;
};

}  // namespace kvrsim
