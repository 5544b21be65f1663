#include "core/datafile/time.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace kvr {

namespace {

Time MakeLocalTime(const CalendarFields& f, int isDst) {
    std::tm tm{};
    tm.tm_year = f.year - 1900;
    tm.tm_mon = f.month - 1;
    tm.tm_mday = f.day;
    tm.tm_hour = f.hour;
    tm.tm_min = f.minute;
    tm.tm_sec = f.second;
    tm.tm_isdst = isDst;
    return static_cast<Time>(std::mktime(&tm));
}

}  // namespace

Time MakeTime(const CalendarFields& f) { return MakeLocalTime(f, -1); }

CalendarFields SplitTime(Time t) {
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

Time StampToTime(const Stamp& s) { return MakeTime({s[0] + 2000, s[1], s[2], s[3], s[4], s[5]}); }

Time StampToTimeNear(const Stamp& s, Time expected) {
    const CalendarFields fields{s[0] + 2000, s[1], s[2], s[3], s[4], s[5]};
    Time nearest = MakeTime(fields);
    // mktime picks one side of a repeated hour; asking for standard and for summer time in
    // turn gives both, each kept only when it reads back as the same wall-clock time.
    for (const int isDst : {0, 1}) {
        const Time t = MakeLocalTime(fields, isDst);
        if (SplitTime(t) == fields && std::llabs(t - expected) < std::llabs(nearest - expected))
            nearest = t;
    }
    return nearest;
}

Stamp TimeToStamp(Time t) {
    const CalendarFields f = SplitTime(t);
    return {static_cast<std::uint8_t>(f.year - 2000), static_cast<std::uint8_t>(f.month),
            static_cast<std::uint8_t>(f.day),         static_cast<std::uint8_t>(f.hour),
            static_cast<std::uint8_t>(f.minute),      static_cast<std::uint8_t>(f.second)};
}

Stamp ReadStamp(const std::uint8_t* bytes) {
    Stamp s;
    for (int i = 0; i < 6; ++i) s[i] = bytes[i];
    return s;
}

void WriteStamp(std::uint8_t* bytes, const Stamp& stamp) {
    for (int i = 0; i < 6; ++i) bytes[i] = stamp[i];
}

bool IsValidStamp(const unsigned char* s) {
    return s[0] < 100 && s[1] >= 1 && s[1] <= 12 && s[2] >= 1 && s[2] <= 31 && s[3] <= 23 &&
           s[4] < 60 && s[5] < 60;
}

std::size_t FormatTime(Time t, char (&text)[32]) {
    const CalendarFields f = SplitTime(t);
    const auto inRange = [](int v, int high) { return v >= 0 && v <= high; };
    if (!inRange(f.year, 9999) || !inRange(f.month, 99) || !inRange(f.day, 99) ||
        !inRange(f.hour, 99) || !inRange(f.minute, 99) || !inRange(f.second, 99)) {
        const int n = std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", f.year,
                                    f.month, f.day, f.hour, f.minute, f.second);
        return static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof text) - 1));
    }
    // Written digit by digit: an export formats one time a row, and printf's parsing of
    // the format was most of what that cost.
    const auto two = [](char* at, int v) {
        at[0] = static_cast<char>('0' + v / 10);
        at[1] = static_cast<char>('0' + v % 10);
    };
    two(text, f.year / 100);
    two(text + 2, f.year % 100);
    text[4] = '-';
    two(text + 5, f.month);
    text[7] = '-';
    two(text + 8, f.day);
    text[10] = ' ';
    two(text + 11, f.hour);
    text[13] = ':';
    two(text + 14, f.minute);
    text[16] = ':';
    two(text + 17, f.second);
    text[19] = '\0';
    return 19;
}

std::string FormatTime(Time t) {
    char text[32];
    return std::string(text, FormatTime(t, text));
}

std::optional<Time> ParseTime(std::string_view text, TimeTextError* error) {
    TimeTextError ignored = TimeTextError::kNone;
    TimeTextError& why = error ? *error : ignored;
    why = TimeTextError::kFormat;
    CalendarFields f;
    const std::string s(text);
    int consumed = 0;
    int fieldCount = std::sscanf(s.c_str(), "%d-%d-%d %d:%d:%d%n", &f.year, &f.month, &f.day,
                                 &f.hour, &f.minute, &f.second, &consumed);
    if (fieldCount == 6 && consumed != static_cast<int>(s.size())) return std::nullopt;
    if (fieldCount == 5) {
        f.second = 0;
    } else if (fieldCount == 3) {
        f.hour = f.minute = f.second = 0;
    } else if (fieldCount != 6) {
        return std::nullopt;
    }
    if (f.month < 1 || f.month > 12 || f.day < 1 || f.day > 31 || f.hour < 0 || f.hour > 23 ||
        f.minute < 0 || f.minute > 59 || f.second < 0 || f.second > 59)
        return std::nullopt;
    if (f.year < kFirstYear || f.year > kLastYear) {
        why = TimeTextError::kYear;
        return std::nullopt;
    }
    const Time t = MakeTime(f);
    const CalendarFields back = SplitTime(t);
    // mktime rolls 02-30 over into March; such a date does not exist.
    if (back.day != f.day || back.month != f.month) return std::nullopt;
    why = TimeTextError::kNone;
    return t;
}

}  // namespace kvr
