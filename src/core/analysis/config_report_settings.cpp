// The configuration report tabs after the flow tab: inputs, trade settlement, heat, shifts,
// alarms, analogue output, functions and the gas composition.
#include <array>
#include <string_view>

#include "core/analysis/config_report.h"
#include "core/analysis/config_text.h"
#include "core/datafile/lookup_tables.h"

namespace kvr {
namespace {

constexpr int kVersion1003 = 1003;
constexpr int kVersion1004 = 1004;

enum InputMode { kInputMeasured = 1, kInputFixed = 2 };
constexpr int kLastWireSignal = 3;    // FR .. PT100: a broken wire
constexpr int kResistanceSignal = 4;  // K: a broken resistor; above: a broken couple
constexpr int kEmergencyValueHandling = 0;
constexpr int kCoolingOutput = 1;

// "差压  ": the channel names of the report carry two trailing spaces.
std::string ChannelLabel(int k) { return InputChannelText(k) + "  "; }

std::string RangeText(const ConfigValue& low, const ConfigValue& high) {
    return FixedText(low) + " ~ " + FixedText(high) + "\r\n";
}

std::string BreakLabel(int signalType) {
    if (signalType <= kLastWireSignal) return "断线处理:";
    if (signalType == kResistanceSignal) return "断阻处理:";
    return "断偶处理:";
}

std::string MeasuredInputLines(const ConfigRecord& r, const InputChannelConfig& in) {
    std::string text = "类型:" + SignalTypeText(in.signalType) + "\r\n";
    text += "单位:" + in.unit + "\r\n";
    text += "量程:" + RangeText(in.rangeLow, in.rangeHigh);
    const double cutoff = in.smallSignalCutoff;
    text += "切除:" + (r.FlowElement() != 0 ? FormatText("%.1f Hz\r\n", cutoff)
                                            : FormatText("%.1f %%\r\n", cutoff * 0.1));
    text += "滤波:" + FormatText("%.1f 秒\r\n", in.filterTenths / 10.0);
    text += "K = :" + FixedText(in.correctionK) + " \r\n";
    text += "B = :" + FixedText(in.correctionB) + " \r\n";
    text += BreakLabel(in.signalType) + BreakHandlingText(in.breakHandling) + "\r\n";
    if (in.breakHandling == kEmergencyValueHandling)
        text += "应急参数:" + FixedText(in.emergencyValue) + " \r\n";
    return text;
}

std::string Hour(int hour) { return FormatText("%02d", hour); }

std::string ShiftLine(int shift, int from, int to) {
    return std::to_string(shift) + "班:" + Hour(from) + "点 ~ " + Hour(to) + "点\r\n";
}

std::string ValueWithUnit(const ConfigValue& value, const std::string& unit) {
    return FixedText(value) + " " + unit + "\r\n";
}

// The gas lines: three gases a line, each "label:value%", with the separators the
// instrument's report has always used between them.
constexpr std::array<std::array<std::string_view, 3>, 6> kGasLabels = {{
    {"空气Air:", "\r\t\r\t\r\t氮气N2:", "\r\t\r\t\r\t氧气O2:"},
    {"氦气He:", "\r\t\r\t\r\t氢气H2:", "\r\t\r\t\r\t氩气Ar:"},
    {"一氧化碳C0:", "\r\t\r\t二氧化碳CO2:", "\r\t\r\t硫化氢H2S:"},
    {"氨气NH3:", "\r\t\t\r\t甲烷CH4:", "\r\t\r\t\t乙烷C2H6:"},
    {"丙烷C3H8:", "\r\t\r\t\t丁烷C4H10:", "\r\t\r\t\t乙烯C2H4:"},
    {"乙炔C2H2:", "\r\t\t\r\t丙烯C3H6:", "\r\t\t\r\t丁烯C4H8:"},
}};

}  // namespace

std::string InputsTabText(const ConfigRecord& record) {
    std::string text;
    for (int k = 0; k < cfg::kInputChannels; ++k) {
        const InputChannelConfig in = record.Input(k);
        text += "通道:" + ChannelLabel(k) + "\r\n";
        text += "方式:" + InputModeText(in.mode) + "\r\n";
        if (in.mode == kInputMeasured) text += MeasuredInputLines(record, in);
        if (in.mode == kInputFixed) text += "设定值:" + ValueWithUnit(in.fixedValue, in.unit);
        text += "\r\n";
    }
    return text;
}

std::string TradeSettlementTabText(const ConfigRecord& record) {
    const std::string unit = FlowUnitText(record.FlowUnit());
    std::string text = "流量单位:" + unit + "\r\n";
    text += "停电补足:" + ValueWithUnit(record.OutageMakeUp(), unit);
    text += "小流量阀值:" + ValueWithUnit(record.SmallFlowThreshold(), unit);
    text += "小流量定值:" + ValueWithUnit(record.SmallFlowFixedValue(), unit);
    text += "超计划阀值:" + ValueWithUnit(record.OverPlanThreshold(), unit);
    text += "超计划系数:" + FixedText(record.OverPlanFactor()) + " \r\n";
    text += "流量累积倍率:" + FixedText(record.FlowMultiplier()) + "\r\n";
    if (record.Version() >= kVersion1003) {
        text += "K:" + FixedText(record.FlowCorrectionK()) + "\r\n";
        text += "B:" + FixedText(record.FlowCorrectionB()) + "\r\n";
    }
    if (record.Version() >= kVersion1004) {
        text += "累积流量单位:" + FlowTotalUnitText(record.FlowTotalUnit()) + "\r\n";
        text += "流量量程:" + FixedText(record.FlowRange()) + "\r\n";
    }
    return text;
}

std::string HeatTabText(const ConfigRecord& record) {
    const bool cooling = record.HeatDirection() != 0;
    const std::string direction = cooling ? "冷量:" : "热量:";
    if (!record.HeatEnabled()) return direction + "关闭\r\n";
    const std::string unit = HeatUnitText(record.HeatUnit());
    std::string text = direction + "开启\r\n";
    text += "类型:" + direction + "\r\n";
    text += "计算方式:" + HeatMethodText(record.HeatMethod()) + "\r\n";
    text += "掉电补足:" + ValueWithUnit(record.HeatMakeUp(), unit);
    text += "热量单位:" + unit + "\r\n";
    text += std::string(cooling ? "冷量累积倍率:" : "热量累积倍率:") +
            FixedText(record.HeatMultiplier()) + "\r\n";
    text += "比热容:" + FixedText(record.SpecificHeat()) + " kJ/kg.℃\r\n";
    if (record.Version() >= kVersion1004) {
        // Rate and total share the one heat unit code.
        text += "累积热量单位:" + HeatTotalUnitText(record.HeatUnit()) + "\r\n";
        text += "热量量程:" + FixedText(record.HeatRange()) + "\r\n";
    }
    return text;
}

std::string ReportsTabText(const ConfigRecord& record) {
    const int shifts = record.ShiftCount();
    std::string text = "每天班数:" + std::to_string(shifts) + "班\r\n";
    // Shift 1 begins where the day's last shift ends.
    text += ShiftLine(1, record.ShiftBoundary(shifts), record.ShiftBoundary(1));
    if (shifts > 1) text += ShiftLine(2, record.ShiftBoundary(1), record.ShiftBoundary(2));
    if (shifts > 2) text += ShiftLine(3, record.ShiftBoundary(2), record.ShiftBoundary(3));
    return text;
}

std::string AlarmsTabText(const ConfigRecord& record) {
    std::string text;
    for (int k = 0; k < cfg::kInputChannels; ++k) {
        const AlarmLimits a = record.Alarm(k);
        text += "通      道:" + ChannelLabel(k) + "\r\n";
        text += "报警上上限:" + FixedText(a.highHigh) + "\r\n";
        text += "报警上限  :" + FixedText(a.high) + "\r\n";
        text += "报警下限  :" + FixedText(a.low) + "\r\n";
        text += "报警下下限:" + FixedText(a.lowLow) + "\r\n";
        text += "回      差:" + FixedText(a.hysteresis) + "\r\n";
        text += "\r\n";
    }
    return text;
}

std::string OutputTabText(const ConfigRecord& record) {
    const int source = record.OutputSource();
    if (source == 0) return "输出通道:无\r\n";
    std::string text = "输出通道:";
    if (source == 1)
        text += "流量\r\n";
    else
        text += record.HeatDirection() == kCoolingOutput ? "冷量\r\n" : "热量\r\n";
    if (record.Version() < kVersion1003)
        text += "量程:\r\n" + RangeText(record.OutputRangeLow(), record.OutputRangeHigh());
    text += "K = :" + FixedText(record.OutputK()) + "\r\n";
    text += "B = :" + FixedText(record.OutputB()) + "\r\n";
    return text;
}

std::string FunctionsTabText(const ConfigRecord& record) {
    // A code outside its table shows no number rather than a made-up one.
    const int interval = record.RecordIntervalSeconds();
    const int baud = record.BaudRate();
    std::string text = "【系统组态】\r\n";
    text += "记录间隔:" + (interval ? std::to_string(interval / 60) : "") + " 分\r\n\r\n";
    text += "【通讯组态】\r\n";
    text += FormatText("仪表地址:%03d\r\n", record.Address());
    text += "波特率:" + (baud ? FormatText("%03d", baud) : "") + "\r\n";
    text += "校验:" + ParityText(record.Parity()) + "\r\n";
    text += "校验:" + ByteOrderText(record.ByteOrder()) + "\r\n\r\n";
    text += "【打印组态】\r\n";
    text += "定时打印:";
    if (record.TimedPrinting()) {
        text += "开启\r\n";
        text += FormatText("起始时间:%02d时:%02d分\r\n", record.PrintStartHour(),
                           record.PrintStartMinute());
        text += FormatText("打印间隔:%02d时:%02d分\r\n", record.PrintIntervalHours(),
                           record.PrintIntervalMinutes());
    } else {
        text += "关闭\r\n";
    }
    text += std::string("按键打印:") + (record.PrintOnKey() ? "开启\r\n" : "关闭\r\n");
    return text;
}

std::string GasCompositionTabText(const ConfigRecord& record) {
    std::string text;
    int gas = 0;
    for (const auto& line : kGasLabels) {
        for (std::string_view label : line)
            text += std::string(label) + FixedText(record.GasFraction(gas++)) + "%";
        text += "\r\n";
    }
    return text;
}

}  // namespace kvr
