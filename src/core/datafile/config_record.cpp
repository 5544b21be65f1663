#include "core/datafile/config_record.h"

#include <algorithm>
#include <cstring>

#include "core/datafile/cxfile.h"
#include "core/datafile/gbk.h"
#include "core/datafile/lookup_tables.h"

namespace kvr {
namespace {

constexpr int kVersion1003 = 1003;
constexpr int kVersion1004 = 1004;
constexpr int kMaxDecimals = 9;

std::size_t InputRecord(int k) {
    return cfg::kInputBase + cfg::kInputStride * static_cast<std::size_t>(k);
}
std::size_t AlarmRecord(int k) {
    return cfg::kAlarmBase + cfg::kAlarmStride * static_cast<std::size_t>(k);
}

}  // namespace

int cfg::StoredOperationEntries(int version) {
    if (version < kVersion1003) return 30;
    if (version == kVersion1003) return 40;
    return kLogCapacity;
}

ConfigRecord::ConfigRecord(const std::uint8_t* data, std::size_t size, int version)
    : data_(data), size_(data ? size : 0), version_(version) {}

ConfigRecord::ConfigRecord(const CXFile& file)
    : ConfigRecord(file.Header().config,
                   static_cast<std::size_t>(std::clamp(file.GetConfigSize(), 0, kConfigMaxSize)),
                   file.GetVersion()) {}

std::uint8_t ConfigRecord::Byte(std::size_t offset) const {
    return offset < size_ ? data_[offset] : 0;
}

std::uint16_t ConfigRecord::Word(std::size_t offset) const {
    return static_cast<std::uint16_t>(Byte(offset) | (Byte(offset + 1) << 8));
}

std::int16_t ConfigRecord::SignedWord(std::size_t offset) const {
    return static_cast<std::int16_t>(Word(offset));
}

std::uint32_t ConfigRecord::DoubleWord(std::size_t offset) const {
    return static_cast<std::uint32_t>(Word(offset)) |
           (static_cast<std::uint32_t>(Word(offset + 2)) << 16);
}

float ConfigRecord::Float(std::size_t offset) const {
    const std::uint32_t bits = DoubleWord(offset);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

DecimalTriple ConfigRecord::Triple(std::size_t offset) const {
    const std::uint8_t bytes[3] = {Byte(offset), Byte(offset + 1), Byte(offset + 2)};
    return DecimalTriple::Read(bytes);
}

std::string ConfigRecord::Text(std::size_t offset, std::size_t size) const {
    if (offset >= size_) return {};
    const std::size_t available = std::min(size, size_ - offset);
    return FieldToUtf8(reinterpret_cast<const char*>(data_ + offset), available);
}

ConfigValue ConfigRecord::Value(std::size_t valueOffset, std::size_t decimalsOffset) const {
    // A decimals byte above 9 is damage: taken as it stands it would ask for up to 255 digits.
    const int decimals = Byte(decimalsOffset);
    return {Float(valueOffset), decimals <= kMaxDecimals ? decimals : 0};
}

ConfigValue ConfigRecord::ValueFrom(int version, std::size_t valueOffset,
                                    std::size_t decimalsOffset) const {
    if (version_ < version) return {};
    return Value(valueOffset, decimalsOffset);
}

// Device and flow element

std::string ConfigRecord::DeviceName() const {
    return Text(cfg::kDeviceName, cfg::kDeviceNameEnd - cfg::kDeviceName);
}
int ConfigRecord::RecordIntervalCode() const { return Byte(cfg::kRecordIntervalCode); }
int ConfigRecord::RecordIntervalSeconds() const {
    return kvr::RecordIntervalSeconds(RecordIntervalCode());
}
int ConfigRecord::FlowElement() const { return Byte(cfg::kFlowElement); }
int ConfigRecord::Medium() const { return Byte(cfg::kMedium); }
int ConfigRecord::SquareRoot() const { return Byte(cfg::kSquareRoot); }
int ConfigRecord::PipeMaterial() const { return Byte(cfg::kPipeMaterial); }
int ConfigRecord::ThrottleMaterial() const { return Byte(cfg::kThrottleMaterial); }
ConfigValue ConfigRecord::PipeDiameter() const {
    return Value(cfg::kPipeDiameter, cfg::kPipeDiameterDecimals);
}
ConfigValue ConfigRecord::ThrottleDiameter() const {
    return Value(cfg::kThrottleDiameter, cfg::kThrottleDiameterDecimals);
}
ConfigValue ConfigRecord::AtmosphericPressure() const {
    return Value(cfg::kAtmospheric, cfg::kAtmosphericDecimals);
}
int ConfigRecord::KSegmentCount() const { return Byte(cfg::kKSegmentCount); }
int ConfigRecord::KFactorUnit() const { return Byte(cfg::kKFactorUnit); }

ConfigValue ConfigRecord::Breakpoint(int i) const {
    if (i < 1 || i > cfg::kMaxKSegments) return {};
    const auto index = static_cast<std::size_t>(i - 1);
    return Value(cfg::kBreakpoints + 4 * index, cfg::kBreakpointDecimals + index);
}

ConfigValue ConfigRecord::KValue(int i) const {
    if (i < 1 || i > cfg::kMaxKSegments) return {};
    const auto index = static_cast<std::size_t>(i - 1);
    return Value(cfg::kKValues + 4 * index, cfg::kKValueDecimals + index);
}

int ConfigRecord::DrynessOrHumidity() const { return Byte(cfg::kDryness); }
DecimalTriple ConfigRecord::PipeExpansion() const { return Triple(cfg::kPipeExpansion); }
DecimalTriple ConfigRecord::ThrottleExpansion() const { return Triple(cfg::kThrottleExpansion); }
int ConfigRecord::StandardTemperatureCode() const { return Byte(cfg::kStandardTemperature); }
int ConfigRecord::StandardTemperatureCelsius() const {
    return StandardTemperatureCode() == 0 ? 20 : 0;
}
DecimalTriple ConfigRecord::StandardDensity() const { return Triple(cfg::kStandardDensity); }
DecimalTriple ConfigRecord::Compressibility() const { return Triple(cfg::kCompressibility); }
ConfigValue ConfigRecord::DischargeCoefficient() const {
    return Value(cfg::kDischarge, cfg::kDischargeDecimals);
}
ConfigValue ConfigRecord::ExpansionCoefficient() const {
    return Value(cfg::kExpansion, cfg::kExpansionDecimals);
}

// Input channels

InputChannelConfig ConfigRecord::Input(int k) const {
    InputChannelConfig input;
    if (k < 0 || k >= cfg::kInputChannels) return input;
    const std::size_t base = InputRecord(k);
    input.tagName = Text(base + cfg::kInputTagName, cfg::kInputTagSize);
    input.unit = Text(base + cfg::kInputUnit, cfg::kInputUnitSize);
    input.mode = Byte(base + cfg::kInputMode);
    input.signalType = Byte(base + cfg::kInputSignalType);
    input.filterTenths = Byte(base + cfg::kInputFilter);
    input.breakHandling = Byte(base + cfg::kInputBreakHandling);
    input.smallSignalCutoff = Float(base + cfg::kInputCutoff);
    input.fixedValue = Value(base + cfg::kInputFixed, base + cfg::kInputFixedDecimals);
    input.emergencyValue = Value(base + cfg::kInputEmergency, base + cfg::kInputEmergencyDecimals);
    input.rangeLow = Value(base + cfg::kInputRangeLow, base + cfg::kInputRangeLowDecimals);
    input.rangeHigh = Value(base + cfg::kInputRangeHigh, base + cfg::kInputRangeHighDecimals);
    input.correctionK = Value(base + cfg::kInputK, base + cfg::kInputKDecimals);
    input.correctionB = Value(base + cfg::kInputB, base + cfg::kInputBDecimals);
    return input;
}

AlarmLimits ConfigRecord::Alarm(int k) const {
    AlarmLimits alarm;
    if (k < 0 || k >= cfg::kInputChannels) return alarm;
    const std::size_t base = AlarmRecord(k);
    alarm.highHigh = Value(base + cfg::kAlarmHighHigh, base + cfg::kAlarmHighHighDecimals);
    alarm.high = Value(base + cfg::kAlarmHigh, base + cfg::kAlarmHighDecimals);
    alarm.low = Value(base + cfg::kAlarmLow, base + cfg::kAlarmLowDecimals);
    alarm.lowLow = Value(base + cfg::kAlarmLowLow, base + cfg::kAlarmLowLowDecimals);
    alarm.hysteresis = Value(base + cfg::kAlarmHysteresis, base + cfg::kAlarmHysteresisDecimals);
    return alarm;
}

// Trade settlement

ConfigValue ConfigRecord::OutageMakeUp() const {
    return Value(cfg::kOutageMakeUp, cfg::kOutageDecimals);
}
int ConfigRecord::FlowUnit() const { return Byte(cfg::kFlowUnit); }
ConfigValue ConfigRecord::FlowMultiplier() const {
    return Value(cfg::kFlowMultiplier, cfg::kFlowMultiplierDecimals);
}
ConfigValue ConfigRecord::SmallFlowThreshold() const {
    return Value(cfg::kSmallFlowThreshold, cfg::kSmallFlowDecimals);
}
ConfigValue ConfigRecord::SmallFlowFixedValue() const {
    return Value(cfg::kSmallFlowFixed, cfg::kSmallFlowDecimals);
}
ConfigValue ConfigRecord::OverPlanThreshold() const {
    return Value(cfg::kOverPlanThreshold, cfg::kOverPlanDecimals);
}
ConfigValue ConfigRecord::OverPlanFactor() const {
    return Value(cfg::kOverPlanFactor, cfg::kOverPlanDecimals);
}
int ConfigRecord::FlowTotalUnit() const {
    return version_ >= kVersion1004 ? Byte(cfg::kFlowTotalUnit) : 0;
}
ConfigValue ConfigRecord::FlowCorrectionK() const {
    return ValueFrom(kVersion1003, cfg::kFlowK, cfg::kFlowKDecimals);
}
ConfigValue ConfigRecord::FlowCorrectionB() const {
    return ValueFrom(kVersion1003, cfg::kFlowB, cfg::kFlowBDecimals);
}
ConfigValue ConfigRecord::FlowRange() const {
    return ValueFrom(kVersion1004, cfg::kFlowRange, cfg::kFlowRangeDecimals);
}

// Heat

ConfigValue ConfigRecord::HeatMakeUp() const {
    return Value(cfg::kHeatMakeUp, cfg::kHeatMakeUpDecimals);
}
bool ConfigRecord::HeatEnabled() const { return Byte(cfg::kHeatEnabled) != 0; }
int ConfigRecord::HeatDirection() const { return Byte(cfg::kHeatDirection); }
int ConfigRecord::HeatMethod() const { return Byte(cfg::kHeatMethod); }
int ConfigRecord::HeatUnit() const { return Byte(cfg::kHeatUnit); }
ConfigValue ConfigRecord::HeatMultiplier() const {
    return Value(cfg::kHeatMultiplier, cfg::kHeatMultiplierDecimals);
}
ConfigValue ConfigRecord::SpecificHeat() const {
    return Value(cfg::kSpecificHeat, cfg::kSpecificHeatDecimals);
}
int ConfigRecord::HeatTotalUnit() const { return Byte(cfg::kHeatTotalUnit); }
ConfigValue ConfigRecord::HeatRange() const {
    return ValueFrom(kVersion1004, cfg::kHeatRange, cfg::kHeatRangeDecimals);
}

// Reports, output, communication, printing

int ConfigRecord::ShiftCount() const { return Byte(cfg::kShiftCount); }
int ConfigRecord::ShiftBoundary(int i) const {
    if (i < 1 || i > 3) return 0;
    return Byte(cfg::kShiftBoundaries + static_cast<std::size_t>(i - 1));
}

int ConfigRecord::OutputSource() const { return Byte(cfg::kOutputSource); }
ConfigValue ConfigRecord::OutputK() const { return Value(cfg::kOutputK, cfg::kOutputKDecimals); }
ConfigValue ConfigRecord::OutputB() const { return Value(cfg::kOutputB, cfg::kOutputBDecimals); }
ConfigValue ConfigRecord::OutputRangeLow() const {
    return Value(cfg::kOutputLow, cfg::kOutputLowDecimals);
}
ConfigValue ConfigRecord::OutputRangeHigh() const {
    return Value(cfg::kOutputHigh, cfg::kOutputHighDecimals);
}

int ConfigRecord::Address() const { return Byte(cfg::kAddress); }
int ConfigRecord::BaudRateCode() const { return Byte(cfg::kBaudRate); }
int ConfigRecord::BaudRate() const { return kvr::BaudRate(BaudRateCode()); }
int ConfigRecord::Parity() const { return Byte(cfg::kParity); }
int ConfigRecord::ByteOrder() const { return Byte(cfg::kByteOrder); }

bool ConfigRecord::TimedPrinting() const { return Byte(cfg::kTimedPrinting) != 0; }
int ConfigRecord::PrintStartHour() const { return Byte(cfg::kPrintStart); }
int ConfigRecord::PrintStartMinute() const { return Byte(cfg::kPrintStart + 1); }
int ConfigRecord::PrintIntervalHours() const { return Byte(cfg::kPrintInterval); }
int ConfigRecord::PrintIntervalMinutes() const { return Byte(cfg::kPrintInterval + 1); }
bool ConfigRecord::PrintOnKey() const { return Byte(cfg::kPrintOnKey) != 0; }

// Gas composition and user medium table

ConfigValue ConfigRecord::GasFraction(int g) const {
    if (g < 0 || g >= cfg::kGasCount) return {};
    const auto index = static_cast<std::size_t>(g);
    return ValueFrom(kVersion1003, cfg::kGasFractions + 4 * index, cfg::kGasDecimals + index);
}

UserMediumRow ConfigRecord::UserMedium(int r) const {
    UserMediumRow row;
    if (r < 0 || r >= cfg::kMediumRows) return row;
    const auto index = static_cast<std::size_t>(r);
    row.temperature = ValueFrom(kVersion1004, cfg::kMediumTemperatures + 4 * index,
                                cfg::kMediumTemperatureDecimals + index);
    row.density = ValueFrom(kVersion1004, cfg::kMediumDensities + 4 * index,
                            cfg::kMediumDensityDecimals + index);
    row.specificHeat = ValueFrom(kVersion1004, cfg::kMediumSpecificHeats + 4 * index,
                                 cfg::kMediumSpecificHeatDecimals + index);
    return row;
}

}  // namespace kvr
