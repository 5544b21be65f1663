#include "tools/kvrtool/config_printer.h"

#include <cstdio>
#include <string>

#include "core/analysis/config_text.h"
#include "core/datafile/config_record.h"
#include "core/datafile/event_log.h"
#include "core/datafile/lookup_tables.h"

namespace kvrtool {
namespace {

using kvr::CodedText;
using kvr::FixedText;

std::string OnOff(bool on) { return on ? "on" : "off"; }

std::string StampText(const kvr::LogStamp& s) {
    const std::string text = kvr::StampText(s.stamp);
    return s.valid ? text : text + " (invalid)";
}

class Printer {
public:
    explicit Printer(std::ostream& out) : out_(out) {}
    void Section(const std::string& name) { out_ << '[' << name << "]\n"; }
    void Field(const std::string& name, const std::string& value) {
        out_ << name << ": " << value << '\n';
    }
    void Field(const std::string& name, int value) { Field(name, std::to_string(value)); }
    void End() { out_ << '\n'; }

private:
    std::ostream& out_;
};

void PrintFlowElement(const kvr::ConfigRecord& r, Printer& p) {
    p.Section("device");
    p.Field("version", r.Version());
    p.Field("device_name", r.DeviceName());
    p.Field("record_interval",
            CodedText(r.RecordIntervalCode(), std::to_string(r.RecordIntervalSeconds()) + " s"));
    p.End();
    p.Section("flow element");
    p.Field("flow_element", CodedText(r.FlowElement(), kvr::FlowElementText(r.FlowElement())));
    p.Field("medium", CodedText(r.Medium(), kvr::MediumText(r.Medium())));
    p.Field("square_root", CodedText(r.SquareRoot(), kvr::SquareRootText(r.SquareRoot())));
    p.Field("pipe_material", CodedText(r.PipeMaterial(), kvr::MaterialText(r.PipeMaterial())));
    p.Field("throttle_material",
            CodedText(r.ThrottleMaterial(), kvr::MaterialText(r.ThrottleMaterial())));
    p.Field("pipe_diameter_mm", FixedText(r.PipeDiameter()));
    p.Field("throttle_diameter_mm", FixedText(r.ThrottleDiameter()));
    p.Field("atmospheric_pressure_mpa", FixedText(r.AtmosphericPressure()));
    p.Field("k_segment_count", r.KSegmentCount());
    p.Field("k_factor_unit", CodedText(r.KFactorUnit(), kvr::KFactorUnitText(r.KFactorUnit())));
    for (int i = 1; i <= kvr::cfg::kMaxKSegments; ++i) {
        p.Field("breakpoint_" + std::to_string(i), FixedText(r.Breakpoint(i)));
        p.Field("k_value_" + std::to_string(i), FixedText(r.KValue(i)));
    }
    p.Field("dryness_or_humidity_percent", r.DrynessOrHumidity());
    p.Field("pipe_expansion_e6", FixedText(r.PipeExpansion()));
    p.Field("throttle_expansion_e6", FixedText(r.ThrottleExpansion()));
    p.Field("standard_temperature_c",
            CodedText(r.StandardTemperatureCode(), std::to_string(r.StandardTemperatureCelsius())));
    p.Field("standard_density_kg_m3", FixedText(r.StandardDensity()));
    p.Field("compressibility", FixedText(r.Compressibility()));
    p.Field("discharge_coefficient", FixedText(r.DischargeCoefficient()));
    p.Field("expansion_coefficient", FixedText(r.ExpansionCoefficient()));
    p.End();
}

void PrintInputs(const kvr::ConfigRecord& r, Printer& p) {
    for (int k = 0; k < kvr::cfg::kInputChannels; ++k) {
        const kvr::InputChannelConfig in = r.Input(k);
        p.Section("input " + std::to_string(k) + " " + kvr::InputChannelText(k));
        p.Field("tag_name", in.tagName);
        p.Field("mode", CodedText(in.mode, kvr::InputModeText(in.mode)));
        p.Field("signal_type", CodedText(in.signalType, kvr::SignalTypeText(in.signalType)));
        p.Field("unit", in.unit);
        p.Field("filter_s", FixedText(static_cast<float>(in.filterTenths) / 10.0f, 1));
        p.Field("break_handling",
                CodedText(in.breakHandling, kvr::BreakHandlingText(in.breakHandling)));
        p.Field("small_signal_cutoff", FixedText(in.smallSignalCutoff, 2));
        p.Field("fixed_value", FixedText(in.fixedValue));
        p.Field("emergency_value", FixedText(in.emergencyValue));
        p.Field("range_low", FixedText(in.rangeLow));
        p.Field("range_high", FixedText(in.rangeHigh));
        p.Field("correction_k", FixedText(in.correctionK));
        p.Field("correction_b", FixedText(in.correctionB));
        const kvr::AlarmLimits alarm = r.Alarm(k);
        p.Field("alarm_high_high", FixedText(alarm.highHigh));
        p.Field("alarm_high", FixedText(alarm.high));
        p.Field("alarm_low", FixedText(alarm.low));
        p.Field("alarm_low_low", FixedText(alarm.lowLow));
        p.Field("alarm_hysteresis", FixedText(alarm.hysteresis));
        p.End();
    }
}

void PrintTotalising(const kvr::ConfigRecord& r, Printer& p) {
    p.Section("trade settlement");
    p.Field("flow_unit", CodedText(r.FlowUnit(), kvr::FlowUnitText(r.FlowUnit())));
    p.Field("outage_make_up", FixedText(r.OutageMakeUp()));
    p.Field("flow_multiplier", FixedText(r.FlowMultiplier()));
    p.Field("small_flow_threshold", FixedText(r.SmallFlowThreshold()));
    p.Field("small_flow_fixed_value", FixedText(r.SmallFlowFixedValue()));
    p.Field("over_plan_threshold", FixedText(r.OverPlanThreshold()));
    p.Field("over_plan_factor", FixedText(r.OverPlanFactor()));
    p.Field("flow_total_unit",
            CodedText(r.FlowTotalUnit(), kvr::FlowTotalUnitText(r.FlowTotalUnit())));
    p.Field("flow_correction_k", FixedText(r.FlowCorrectionK()));
    p.Field("flow_correction_b", FixedText(r.FlowCorrectionB()));
    p.Field("flow_range", FixedText(r.FlowRange()));
    p.End();
    p.Section("heat");
    p.Field("heat_enabled", OnOff(r.HeatEnabled()));
    p.Field("heat_direction",
            CodedText(r.HeatDirection(), kvr::HeatDirectionText(r.HeatDirection())));
    p.Field("heat_method", CodedText(r.HeatMethod(), kvr::HeatMethodText(r.HeatMethod())));
    p.Field("heat_unit", CodedText(r.HeatUnit(), kvr::HeatUnitText(r.HeatUnit())));
    p.Field("heat_make_up", FixedText(r.HeatMakeUp()));
    p.Field("heat_multiplier", FixedText(r.HeatMultiplier()));
    p.Field("specific_heat_kj_kg_c", FixedText(r.SpecificHeat()));
    p.Field("heat_total_unit",
            CodedText(r.HeatTotalUnit(), kvr::HeatTotalUnitText(r.HeatTotalUnit())));
    p.Field("heat_range", FixedText(r.HeatRange()));
    p.End();
}

void PrintFunctions(const kvr::ConfigRecord& r, Printer& p) {
    p.Section("reports");
    p.Field("shift_count", r.ShiftCount());
    for (int i = 1; i <= 3; ++i) p.Field("shift_boundary_" + std::to_string(i), r.ShiftBoundary(i));
    p.End();
    p.Section("output");
    p.Field("output_source", r.OutputSource());
    p.Field("output_range_low", FixedText(r.OutputRangeLow()));
    p.Field("output_range_high", FixedText(r.OutputRangeHigh()));
    p.Field("output_k", FixedText(r.OutputK()));
    p.Field("output_b", FixedText(r.OutputB()));
    p.End();
    p.Section("communication");
    p.Field("address", r.Address());
    p.Field("baud_rate", CodedText(r.BaudRateCode(), std::to_string(r.BaudRate())));
    p.Field("parity", CodedText(r.Parity(), kvr::ParityText(r.Parity())));
    p.Field("byte_order", CodedText(r.ByteOrder(), kvr::ByteOrderText(r.ByteOrder())));
    p.End();
    p.Section("printing");
    p.Field("timed_printing", OnOff(r.TimedPrinting()));
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d", r.PrintStartHour(), r.PrintStartMinute());
    p.Field("print_start", text);
    std::snprintf(text, sizeof text, "%02d:%02d", r.PrintIntervalHours(), r.PrintIntervalMinutes());
    p.Field("print_interval", text);
    p.Field("print_on_key", OnOff(r.PrintOnKey()));
    p.End();
}

void PrintTables(const kvr::ConfigRecord& r, Printer& p) {
    p.Section("gas composition (percent)");
    for (int g = 0; g < kvr::cfg::kGasCount; ++g)
        p.Field(kvr::GasText(g), FixedText(r.GasFraction(g)));
    p.End();
    p.Section("user medium (temperature C, density kg/m3, specific heat kJ/kg C)");
    for (int row = 0; row < kvr::cfg::kMediumRows; ++row) {
        const kvr::UserMediumRow m = r.UserMedium(row);
        p.Field("row_" + std::to_string(row + 1), FixedText(m.temperature) + ", " +
                                                      FixedText(m.density) + ", " +
                                                      FixedText(m.specificHeat));
    }
    p.End();
}

void PrintLogs(const kvr::ConfigRecord& r, Printer& p) {
    const kvr::PowerFailureLog power = kvr::ReadPowerFailureLog(r);
    p.Section("power failures (oldest first)");
    p.Field("total_count", power.valid ? std::to_string(power.totalCount) : "");
    p.Field("total_outage_s", power.valid ? std::to_string(power.totalSeconds) : "");
    for (const kvr::PowerFailureEntry& e : power.entries)
        p.Field("slot_" + std::to_string(e.index),
                StampText(e.powerOff) + " -> " + StampText(e.powerOn));
    p.End();
    p.Section("alarms (oldest first)");
    for (const kvr::AlarmEntry& e : kvr::ReadAlarmLog(r)) {
        const std::string cleared = e.active ? "未消报..." : StampText(e.cleared);
        p.Field("slot_" + std::to_string(e.index), "channel " + std::to_string(e.channel) + ", " +
                                                       kvr::AlarmKindText(e.kind) + ", " +
                                                       StampText(e.raised) + " -> " + cleared);
    }
    p.End();
    p.Section("operations (oldest first)");
    for (const kvr::OperationEntry& e : kvr::ReadOperationLog(r))
        p.Field("slot_" + std::to_string(e.index),
                StampText(e.stamp) + ", " + CodedText(e.code, e.text));
    p.End();
}

}  // namespace

void PrintConfiguration(const kvr::CXFile& file, std::ostream& out) {
    const kvr::ConfigRecord record(file);
    Printer printer(out);
    PrintFlowElement(record, printer);
    PrintInputs(record, printer);
    PrintTotalising(record, printer);
    PrintFunctions(record, printer);
    PrintTables(record, printer);
    PrintLogs(record, printer);
}

}  // namespace kvrtool
