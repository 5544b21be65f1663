#include "core/settings/view_switches.h"

#include "core/settings/profile.h"

namespace kvr {

namespace {

constexpr const char* kDisplaySection = "DisplaySetting";
constexpr const char* kAlarmSection = "AlarmSetting";

// A switch is "1" or "0"; anything else, or nothing, reads as its default.
bool ReadSwitch(const char* section, const char* key, bool byDefault, const std::string& iniPath) {
    const std::string value = ReadProfileString(section, key, byDefault ? "1" : "0", iniPath);
    return byDefault ? value != "0" : value == "1";
}

bool WriteSwitch(const char* section, const char* key, bool on, const std::string& iniPath) {
    return WriteProfileString(section, key, on ? "1" : "0", iniPath);
}

}  // namespace

bool ReadEnvelopeShown(const std::string& iniPath) {
    return ReadSwitch(kDisplaySection, "Envelope", true, iniPath);
}

bool WriteEnvelopeShown(bool shown, const std::string& iniPath) {
    return WriteSwitch(kDisplaySection, "Envelope", shown, iniPath);
}

bool ReadSpanPanelShown(const std::string& iniPath) {
    return ReadSwitch(kDisplaySection, "SpanPanel", true, iniPath);
}

bool WriteSpanPanelShown(bool shown, const std::string& iniPath) {
    return WriteSwitch(kDisplaySection, "SpanPanel", shown, iniPath);
}

bool ReadAlarmBeep(const std::string& iniPath) {
    return ReadSwitch(kAlarmSection, "Beep", false, iniPath);
}

bool WriteAlarmBeep(bool on, const std::string& iniPath) {
    return WriteSwitch(kAlarmSection, "Beep", on, iniPath);
}

}  // namespace kvr
