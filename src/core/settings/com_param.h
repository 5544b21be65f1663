#pragma once
// Serial parameters chosen in the serial-parameter dialog. The dialog fills this record;
// the link takes a copy on Connect.
#include <cstdint>
#include <string>

namespace kvr {

struct ComParam {
    // Device path ("/dev/ttyUSB0", or a pseudo-terminal such as "/dev/pts/7").
    std::string device;
    std::int32_t baud = 9600;
    // The low byte is the first byte of every request.
    std::int32_t address = 1;
    // Timeout bases in milliseconds; the port scales the interval and constants by the
    // baud-rate factor, never the multipliers.
    std::int32_t intervalBase = 10;
    std::int32_t constantBase = 50;
    std::int32_t multiplier = 0;  // ms per byte
    std::int32_t writeConstantBase = 50;
    std::int32_t writeMultiplier = 0;  // ms per byte
    // Tries per request in block reads; values below 2 mean one try.
    std::int32_t attempts = 3;
    // 0 none, 1 odd, 2 even
    std::int32_t parity = 0;
};

}  // namespace kvr
