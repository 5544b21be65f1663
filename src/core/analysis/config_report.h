#pragma once
// The configuration report: the instrument configuration stored with a data file as
// readable text, one tab per configuration group. Every line ends with "\r\n" (the text goes
// into a multi-line edit and to the clipboard as it is).
#include <optional>
#include <string>

#include "core/datafile/config_record.h"

namespace kvr {

enum class ConfigTab {
    kFlow,
    kInputs,
    kTradeSettlement,
    kHeat,
    kReports,
    kAlarms,
    kOutput,
    kFunctions,
    kGasComposition,  // only files above version 1002 store the composition
};
inline constexpr int kConfigTabMax = 9;

// 8 tabs for version 1002 and older, 9 above.
int ConfigReportTabCount(int version);
// "流量组态" ... "气体组分"; "" for a tab outside 0..8.
std::string ConfigReportTabTitle(int tab);
// The text of tab (0-based, in ConfigTab order); nullopt when the record's version has no
// such tab. Built from the record each time: nothing is cached.
std::optional<std::string> ConfigReportText(const ConfigRecord& record, int tab);

// The tabs one by one (config_report_flow.cpp and config_report_settings.cpp).
std::string FlowTabText(const ConfigRecord& record);
std::string InputsTabText(const ConfigRecord& record);
std::string TradeSettlementTabText(const ConfigRecord& record);
std::string HeatTabText(const ConfigRecord& record);
std::string ReportsTabText(const ConfigRecord& record);
std::string AlarmsTabText(const ConfigRecord& record);
std::string OutputTabText(const ConfigRecord& record);
std::string FunctionsTabText(const ConfigRecord& record);
std::string GasCompositionTabText(const ConfigRecord& record);

}  // namespace kvr
