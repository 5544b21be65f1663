#include "core/analysis/config_text.h"

#include <cstdarg>
#include <cstdio>

namespace kvr {

namespace {
constexpr int kMaxShownDecimals = 9;
}

int ShownDecimals(int decimals) {
    return decimals >= 0 && decimals <= kMaxShownDecimals ? decimals : 0;
}

std::string FixedText(double value, int decimals) {
    char text[400];
    std::snprintf(text, sizeof text, "%.*f", ShownDecimals(decimals), value);
    return text;
}

std::string FixedText(const ConfigValue& value) {
    return FixedText(static_cast<double>(value.value), value.decimals);
}

std::string FixedText(const DecimalTriple& triple) {
    if (ShownDecimals(triple.decimals) != triple.decimals) return FixedText(triple.mantissa, 0);
    return FixedText(static_cast<double>(triple.Value()), triple.decimals);
}

std::string FormatText(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

std::string CodedText(int code, const std::string& text) {
    std::string trimmed = text;
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
    return trimmed.empty() ? std::to_string(code) : std::to_string(code) + " (" + trimmed + ")";
}

std::string StampText(const Stamp& stamp) {
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", stamp[0] + 2000, stamp[1],
                  stamp[2], stamp[3], stamp[4], stamp[5]);
    return text;
}

}  // namespace kvr
