#include "tools/kvr-sim/fault_plan.h"

namespace kvrsim {

FaultDecision FaultPlan::Next() {
    const int n = ++requests_;
    FaultDecision d;
    if (options_.delayEvery <= 0 || n % options_.delayEvery == 0) d.delayMs = options_.delayMs;
    if (options_.silentAfter >= 0 && n > options_.silentAfter) d.reply = false;
    if (options_.dropEvery > 0 && n % options_.dropEvery == 0) d.reply = false;
    if (options_.corruptEvery > 0 && n % options_.corruptEvery == 0) d.corrupt = true;
    d.exception = options_.exception >= 0;
    return d;
}

}  // namespace kvrsim
