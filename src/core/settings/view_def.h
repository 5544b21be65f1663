#pragma once
// Default display settings chosen in the default-display dialog. Every new file takes its
// display block from here; the realtime acquisition also takes its record interval.
#include <cstdint>

namespace kvr {

struct ViewDef {
    std::uint8_t xMode = 0;  // 0 short time labels, other long labels with the date
    std::uint8_t yMode = 0;  // 0 percent, other engineering value
    float yLow = 0.0f;
    float yHigh = 100.0f;
    std::uint8_t gridCount1 = 6;   // divisions of the time axis
    std::uint8_t gridCount2 = 10;  // divisions of the value axis
    // Colours are Windows COLORREF values: 0x00BBGGRR.
    std::uint32_t gridColor = 0x00808080;
    std::uint32_t backgroundColor = 0x00000000;
    // Channel i takes colour i mod 8.
    std::uint32_t curveColors[8] = {0x000000FF, 0x0000FF00, 0x00FFFF00, 0x0000FFFF,
                                    0x00FF00FF, 0x00FFFFFF, 0x000080FF, 0x00FF8000};
    std::int32_t realtimeInterval = 60;  // seconds between stored realtime records
};

}  // namespace kvr
