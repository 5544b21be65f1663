#include "core/analysis/config_report.h"

#include <array>
#include <string_view>

namespace kvr {
namespace {

constexpr int kFirstGasVersion = 1003;

constexpr std::array<std::string_view, kConfigTabMax> kTabTitles = {
    "流量组态", "输入组态", "贸易结算", "热量组态", "报表组态",
    "报警组态", "输出组态", "功能组态", "气体组分"};

}  // namespace

int ConfigReportTabCount(int version) {
    return version >= kFirstGasVersion ? kConfigTabMax : kConfigTabMax - 1;
}

std::string ConfigReportTabTitle(int tab) {
    if (tab < 0 || tab >= kConfigTabMax) return {};
    return std::string(kTabTitles[static_cast<std::size_t>(tab)]);
}

std::optional<std::string> ConfigReportText(const ConfigRecord& record, int tab) {
    if (tab < 0 || tab >= ConfigReportTabCount(record.Version())) return std::nullopt;
    switch (static_cast<ConfigTab>(tab)) {
        case ConfigTab::kFlow: return FlowTabText(record);
        case ConfigTab::kInputs: return InputsTabText(record);
        case ConfigTab::kTradeSettlement: return TradeSettlementTabText(record);
        case ConfigTab::kHeat: return HeatTabText(record);
        case ConfigTab::kReports: return ReportsTabText(record);
        case ConfigTab::kAlarms: return AlarmsTabText(record);
        case ConfigTab::kOutput: return OutputTabText(record);
        case ConfigTab::kFunctions: return FunctionsTabText(record);
        case ConfigTab::kGasComposition: return GasCompositionTabText(record);
    }
    return std::nullopt;
}

}  // namespace kvr
