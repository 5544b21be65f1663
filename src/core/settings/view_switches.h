#pragma once
// Switches of the curve and realtime windows kept in Config.ini across sessions: whether the
// curves are drawn as an envelope (on unless switched off: a thinned curve hides short
// excursions), whether a selection shows the span panel (on unless switched off: it only
// appears with a selection), and whether a raised alarm beeps (off unless switched on).
#include <string>

namespace kvr {

bool ReadEnvelopeShown(const std::string& iniPath = {});
bool WriteEnvelopeShown(bool shown, const std::string& iniPath = {});

bool ReadSpanPanelShown(const std::string& iniPath = {});
bool WriteSpanPanelShown(bool shown, const std::string& iniPath = {});

bool ReadAlarmBeep(const std::string& iniPath = {});
bool WriteAlarmBeep(bool on, const std::string& iniPath = {});

}  // namespace kvr
