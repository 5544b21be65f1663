#pragma once
// Tables of the instrument families: the ASCII-identified model table, record intervals,
// recorder capacities and the transfer-speed estimate.
#include <cstdint>
#include <string_view>

namespace kvr {

// The ASCII-identified families keep 262144 records per channel; the RTU-identified
// recorder is treated as keeping 266240.
inline constexpr std::uint32_t kRingCapacity = 0x40000;
inline constexpr std::uint32_t kRtuCapacity = 0x41000;
inline constexpr int kModelRows = 22;
inline constexpr int kModelSize = 8;  // NUL-padded
// Row 22: the text the identification answer buffer is pre-filled with.
inline constexpr char kAnswerFiller[] = "QD022";

// The family of the first seven characters of an ASCII identification: 0 (rows 3 to 21),
// 1 (rows 1 and 2, tested last), -1 when no row matches. `answer` is NUL-terminated.
int FamilyOfAnswer(const char* answer);

// Seconds of the record-interval index 0..8, nullopt-like 0 beyond the table.
int IntervalOfIndex(int index);

// Bytes per second the link moves at a baud rate, for the remaining-time estimate.
int TransferSpeed(int baud);

}  // namespace kvr
