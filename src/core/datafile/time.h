#pragma once
// Calendar time: whole seconds since the epoch, interpreted in local time like the
// instrument's own clock. Stamps are the 6-byte form used in files and on the wire.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kvr {

using Time = std::int64_t;

// year-2000, month, day, hour, minute, second
using Stamp = std::array<std::uint8_t, 6>;

struct CalendarFields {
    int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
    bool operator==(const CalendarFields&) const = default;
};

// Local calendar fields -> Time (mktime with tm_isdst = -1). Out-of-range fields are
// normalised the way mktime does it; callers that must refuse them check first.
Time MakeTime(const CalendarFields& fields);
CalendarFields SplitTime(Time t);

Time StampToTime(const Stamp& stamp);
// As StampToTime, but where the clock is set back and the stamp names two moments, the one
// nearer to `expected`.
Time StampToTimeNear(const Stamp& stamp, Time expected);
Stamp TimeToStamp(Time t);
Stamp ReadStamp(const std::uint8_t* bytes);
void WriteStamp(std::uint8_t* bytes, const Stamp& stamp);

// True for a stamp with year byte < 100, month 1..12, day 1..31, hour <= 23, minute and
// second < 60.
bool IsValidStamp(const unsigned char* stamp);

// "YYYY-MM-DD HH:MM:SS"
std::string FormatTime(Time t);
// The same into text, without allocating; the length written (19 for years 0 to 9999).
std::size_t FormatTime(Time t, char (&text)[32]);
// The years a time typed by the user may name.
inline constexpr int kFirstYear = 1970;
inline constexpr int kLastYear = 2099;
inline constexpr char kYearOutOfRange[] = "年份必须在 1970 到 2099 之间！";

// Why ParseTime refused a text.
enum class TimeTextError { kNone, kFormat, kYear };

// Accepts "YYYY-MM-DD HH:MM:SS", "YYYY-MM-DD HH:MM" and "YYYY-MM-DD" with a year from
// kFirstYear to kLastYear; refuses impossible dates (2026-02-30) rather than normalising
// them. A well-formed time whose year lies outside is a kYear error, anything else kFormat.
std::optional<Time> ParseTime(std::string_view text, TimeTextError* error = nullptr);

}  // namespace kvr
