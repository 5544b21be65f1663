#pragma once
// What the simulator is asked to be, from its command line.
#include <cstdint>
#include <string>
#include <vector>

namespace kvrsim {

enum class Family { kRealtime, kAscii0, kAscii1, kRtu };

// Realtime family: live value `channel` follows `values` instead of drifting, one value per
// `hold` reads of the live values, from the start again after the last.
struct ValuePattern {
    int channel = 0;  // 0..5
    std::vector<float> values;
};

struct SimOptions {
    Family family = Family::kRealtime;
    std::string link;  // symlink to create at the pseudo-terminal's path; empty: none
    int firmware = 0;  // 0: the family's default (realtime 1010, rtu 1009)
    int address = 1;
    // ASCII families: ring index of the newest record (the instrument's record counter).
    std::uint32_t records = 1000;
    int channels = 6;  // ASCII and RTU families; the realtime instrument has six
    std::uint32_t seed = 1;
    char layout = 'P';
    int baud = 0;  // > 0: requests and replies take their time on a line of this rate     // RTU
                   // family channel-block layout: P, L or M
    // Faults, counted over the requests addressed to this instrument (the first is 1).
    int dropEvery = 0;     // no reply to every Nth request
    int corruptEvery = 0;  // wrong checksum on every Nth reply
    int delayMs = 0;       // wait before every reply
    int delayEvery = 0;    // > 0: the wait only before every Nth reply
    int silentAfter = -1;  // no replies after the first N requests; -1 never
    int exception = -1;    // answer everything with this exception code; -1 never
    // Realtime family: the live values and totals carry the number of the request they
    // answer instead of drifting, so that every reply can be told from every other.
    bool counterValues = false;
    // Several instruments on one line, each answering only its own address; the one at the
    // Nth address has seed + N - 1. Empty: the one instrument at address.
    std::vector<int> bus = {};
    // The line vanishes (its link removed, no answers) this many seconds after the start,
    // and comes back this many seconds after that; 0: never.
    double unplugAfter = 0;
    double replugAfter = 0;
    std::vector<ValuePattern> patterns;
    int patternHold = 1;
};

}  // namespace kvrsim
