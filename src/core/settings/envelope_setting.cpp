#include "core/settings/envelope_setting.h"

#include "core/settings/profile.h"

namespace kvr {

namespace {
constexpr const char* kSection = "DisplaySetting";
constexpr const char* kKey = "Envelope";
}  // namespace

bool ReadEnvelopeShown(const std::string& iniPath) {
    return ReadProfileString(kSection, kKey, "1", iniPath) != "0";
}

bool WriteEnvelopeShown(bool shown, const std::string& iniPath) {
    return WriteProfileString(kSection, kKey, shown ? "1" : "0", iniPath);
}

}  // namespace kvr
