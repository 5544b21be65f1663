#pragma once
// Whether the curves are drawn as an envelope, kept in Config.ini across sessions. On
// unless the user switched it off: a thinned curve hides short excursions.
#include <string>

namespace kvr {

bool ReadEnvelopeShown(const std::string& iniPath = {});
bool WriteEnvelopeShown(bool shown, const std::string& iniPath = {});

}  // namespace kvr
