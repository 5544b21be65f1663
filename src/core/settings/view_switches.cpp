#include "core/settings/view_switches.h"

#include "core/settings/profile.h"

namespace kvr {

namespace {
constexpr const char* kDisplaySection = "DisplaySetting";
constexpr const char* kSpanPanelKey = "SpanPanel";
constexpr const char* kAlarmSection = "AlarmSetting";
constexpr const char* kBeepKey = "Beep";
}  // namespace

bool ReadSpanPanelShown(const std::string& iniPath) {
    return ReadProfileString(kDisplaySection, kSpanPanelKey, "1", iniPath) != "0";
}

bool WriteSpanPanelShown(bool shown, const std::string& iniPath) {
    return WriteProfileString(kDisplaySection, kSpanPanelKey, shown ? "1" : "0", iniPath);
}

bool ReadAlarmBeep(const std::string& iniPath) {
    return ReadProfileString(kAlarmSection, kBeepKey, "0", iniPath) == "1";
}

bool WriteAlarmBeep(bool on, const std::string& iniPath) {
    return WriteProfileString(kAlarmSection, kBeepKey, on ? "1" : "0", iniPath);
}

}  // namespace kvr
