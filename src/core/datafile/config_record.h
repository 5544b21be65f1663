#pragma once
// ConfigRecord: a read view over the instrument configuration image that every data file
// carries (settings, gas composition, user medium table and three event logs).
//
// The view never reads past the bytes it was given: bytes beyond them read as zero, and
// fields that the image's format version does not store read as zero too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/datafile/layout.h"
#include "core/datafile/triple.h"

namespace kvr {

class CXFile;

// Offsets inside the configuration image (the ones the file layer decodes live in
// layout.h under the same namespace).
namespace cfg {
// Areas
inline constexpr std::size_t kGasArea = 0x4F0;         // from version 1003
inline constexpr std::size_t kUserMediumArea = 0x590;  // version 1004
inline constexpr std::size_t kPowerLog = 0x630;
inline constexpr std::size_t kAlarmLog = 0x970;
inline constexpr std::size_t kOperationLog = 0xCA0;

// Device and flow element
inline constexpr std::size_t kRecordIntervalCode = 0x01D;
inline constexpr std::size_t kFlowElement = 0x040;
inline constexpr std::size_t kMedium = 0x041;
inline constexpr std::size_t kSquareRoot = 0x042;
inline constexpr std::size_t kPipeMaterial = 0x043;
inline constexpr std::size_t kThrottleMaterial = 0x044;
inline constexpr std::size_t kPipeDiameterDecimals = 0x045;
inline constexpr std::size_t kThrottleDiameterDecimals = 0x046;
inline constexpr std::size_t kAtmosphericDecimals = 0x047;
inline constexpr std::size_t kKSegmentCount = 0x048;
inline constexpr std::size_t kKFactorUnit = 0x049;
inline constexpr std::size_t kBreakpointDecimals = 0x04A;  // 10 bytes
inline constexpr std::size_t kKValueDecimals = 0x054;      // 10 bytes
inline constexpr std::size_t kDryness = 0x05E;
inline constexpr std::size_t kPipeDiameter = 0x060;
inline constexpr std::size_t kThrottleDiameter = 0x064;
inline constexpr std::size_t kAtmospheric = 0x068;
inline constexpr std::size_t kBreakpoints = 0x06C;  // 10 floats
inline constexpr std::size_t kKValues = 0x094;      // 10 floats
inline constexpr std::size_t kPipeExpansion = 0x0BC;
inline constexpr std::size_t kThrottleExpansion = 0x0BF;
inline constexpr std::size_t kStandardTemperature = 0x0C2;
inline constexpr std::size_t kStandardDensity = 0x0C3;
inline constexpr std::size_t kCompressibility = 0x0C6;
inline constexpr std::size_t kDischargeDecimals = 0x0C9;
inline constexpr std::size_t kExpansionDecimals = 0x0CA;
inline constexpr std::size_t kDischarge = 0x0CC;
inline constexpr std::size_t kExpansion = 0x0D0;
inline constexpr int kMaxKSegments = 10;

// Input channel record (relative to kInputBase + kInputStride * k)
inline constexpr std::size_t kInputTagSize = 16;
inline constexpr std::size_t kInputMode = 0x10;
inline constexpr std::size_t kInputSignalType = 0x11;
inline constexpr std::size_t kInputUnitSize = 16;
inline constexpr std::size_t kInputFilter = 0x22;
inline constexpr std::size_t kInputBreakHandling = 0x23;
inline constexpr std::size_t kInputFixedDecimals = 0x24;
inline constexpr std::size_t kInputEmergencyDecimals = 0x25;
inline constexpr std::size_t kInputKDecimals = 0x28;
inline constexpr std::size_t kInputBDecimals = 0x29;
inline constexpr std::size_t kInputCutoff = 0x2C;
inline constexpr std::size_t kInputFixed = 0x30;
inline constexpr std::size_t kInputEmergency = 0x34;
inline constexpr std::size_t kInputK = 0x40;
inline constexpr std::size_t kInputB = 0x44;
inline constexpr int kInputChannels = 3;

// Alarm record (relative to kAlarmBase + kAlarmStride * k)
inline constexpr std::size_t kAlarmHighHighDecimals = 0x00;
inline constexpr std::size_t kAlarmHighDecimals = 0x01;
inline constexpr std::size_t kAlarmLowDecimals = 0x02;
inline constexpr std::size_t kAlarmLowLowDecimals = 0x03;
inline constexpr std::size_t kAlarmHysteresisDecimals = 0x04;
inline constexpr std::size_t kAlarmHighHigh = 0x06;
inline constexpr std::size_t kAlarmHigh = 0x0A;
inline constexpr std::size_t kAlarmLow = 0x0E;
inline constexpr std::size_t kAlarmLowLow = 0x12;
inline constexpr std::size_t kAlarmHysteresis = 0x16;

// Trade settlement
inline constexpr std::size_t kOutageDecimals = 0x3B0;
inline constexpr std::size_t kFlowMultiplierDecimals = 0x3B2;
inline constexpr std::size_t kSmallFlowDecimals = 0x3B3;
inline constexpr std::size_t kOverPlanDecimals = 0x3B4;
inline constexpr std::size_t kFlowTotalUnit = 0x3B6;  // version 1004
inline constexpr std::size_t kOutageMakeUp = 0x3B8;
inline constexpr std::size_t kSmallFlowThreshold = 0x3BC;
inline constexpr std::size_t kSmallFlowFixed = 0x3C0;
inline constexpr std::size_t kOverPlanThreshold = 0x3C4;
inline constexpr std::size_t kOverPlanFactor = 0x3C8;
inline constexpr std::size_t kFlowMultiplier = 0x3CC;
inline constexpr std::size_t kFlowKDecimals = 0x3D0;  // version 1003
inline constexpr std::size_t kFlowBDecimals = 0x3D1;  // version 1003
inline constexpr std::size_t kFlowK = 0x3D4;          // version 1003
inline constexpr std::size_t kFlowB = 0x3D8;          // version 1003

// Heat
inline constexpr std::size_t kHeatMakeUpDecimals = 0x3F0;
inline constexpr std::size_t kHeatEnabled = 0x3F1;
inline constexpr std::size_t kHeatDirection = 0x3F2;
inline constexpr std::size_t kHeatMethod = 0x3F3;
inline constexpr std::size_t kHeatMultiplierDecimals = 0x3F5;
inline constexpr std::size_t kSpecificHeatDecimals = 0x3F6;
inline constexpr std::size_t kHeatTotalUnit = 0x3F7;
inline constexpr std::size_t kSpecificHeat = 0x3F8;
inline constexpr std::size_t kHeatMakeUp = 0x3FC;
inline constexpr std::size_t kHeatMultiplier = 0x400;

// Reports, output, communication, printing
inline constexpr std::size_t kShiftCount = 0x430;
inline constexpr std::size_t kShiftBoundaries = 0x431;  // 3 bytes
inline constexpr std::size_t kOutputSource = 0x450;
inline constexpr std::size_t kOutputKDecimals = 0x451;
inline constexpr std::size_t kOutputBDecimals = 0x452;
inline constexpr std::size_t kOutputLowDecimals = 0x453;
inline constexpr std::size_t kOutputHighDecimals = 0x454;
inline constexpr std::size_t kOutputLow = 0x458;
inline constexpr std::size_t kOutputHigh = 0x45C;
inline constexpr std::size_t kOutputK = 0x460;
inline constexpr std::size_t kOutputB = 0x464;
inline constexpr std::size_t kBaudRate = 0x491;
inline constexpr std::size_t kParity = 0x492;
inline constexpr std::size_t kByteOrder = 0x493;
inline constexpr std::size_t kTimedPrinting = 0x4B0;
inline constexpr std::size_t kPrintStart = 0x4B1;     // hour, minute
inline constexpr std::size_t kPrintInterval = 0x4B3;  // hours, minutes
inline constexpr std::size_t kPrintOnKey = 0x4B5;

// Gas composition (version 1003) and user medium table (version 1004)
inline constexpr std::size_t kGasFractions = 0x4F0;  // 18 floats
inline constexpr std::size_t kGasDecimals = 0x538;   // 18 bytes
inline constexpr int kGasCount = 18;
inline constexpr std::size_t kMediumTemperatures = 0x590;
inline constexpr std::size_t kMediumDensities = 0x5B8;
inline constexpr std::size_t kMediumSpecificHeats = 0x5E0;
inline constexpr std::size_t kMediumTemperatureDecimals = 0x608;
inline constexpr std::size_t kMediumDensityDecimals = 0x612;
inline constexpr std::size_t kMediumSpecificHeatDecimals = 0x61C;
inline constexpr int kMediumRows = 10;

// Event logs: a header (start index, count, ...) and a ring of 50 entries of 16 bytes.
inline constexpr int kLogCapacity = 50;
inline constexpr std::size_t kLogEntrySize = 16;
inline constexpr std::size_t kPowerLogTotalCount = 0x630 + 4;    // int16
inline constexpr std::size_t kPowerLogTotalSeconds = 0x630 + 8;  // uint32
inline constexpr std::size_t kPowerLogEntries = 0x64E;
inline constexpr std::size_t kAlarmLogEntries = 0x980;
inline constexpr std::size_t kOperationLogEntries = 0xCB0;
// Operation entries a file stores: 30 in version 1002 (up to 0xE90), 40 in 1003, 50 in 1004.
int StoredOperationEntries(int version);
}  // namespace cfg

// A float shown with its own count of decimals.
struct ConfigValue {
    float value = 0.0f;
    int decimals = 0;
};

struct InputChannelConfig {
    std::string tagName;  // UTF-8, at most 15 GBK bytes in the image
    std::string unit;
    int mode = 0;           // 0 computed, 1 measured input, 2 fixed value
    int signalType = 0;     // SignalTypeText
    int filterTenths = 0;   // filter time in tenths of a second
    int breakHandling = 0;  // BreakHandlingText
    float smallSignalCutoff = 0.0f;
    ConfigValue fixedValue, emergencyValue, rangeLow, rangeHigh, correctionK, correctionB;
};

struct AlarmLimits {
    ConfigValue highHigh, high, low, lowLow, hysteresis;
};

struct UserMediumRow {
    ConfigValue temperature;   // ℃
    ConfigValue density;       // kg/m3
    ConfigValue specificHeat;  // kJ/kg·℃
};

class ConfigRecord {
public:
    // size: bytes of the image that exist (3728, 3888 or 4048 for a file of version 1002,
    // 1003 or 1004); the rest reads as zero.
    ConfigRecord(const std::uint8_t* data, std::size_t size, int version);
    explicit ConfigRecord(const CXFile& file);

    int Version() const { return version_; }

    // Raw little-endian readers; zero outside the image.
    std::uint8_t Byte(std::size_t offset) const;
    std::uint16_t Word(std::size_t offset) const;
    std::int16_t SignedWord(std::size_t offset) const;
    std::uint32_t DoubleWord(std::size_t offset) const;
    float Float(std::size_t offset) const;
    DecimalTriple Triple(std::size_t offset) const;
    // A NUL-terminated GBK field of at most size bytes, as UTF-8.
    std::string Text(std::size_t offset, std::size_t size) const;
    // The float at valueOffset with the decimals byte at decimalsOffset.
    ConfigValue Value(std::size_t valueOffset, std::size_t decimalsOffset) const;

    // Device and flow element
    std::string DeviceName() const;
    int RecordIntervalCode() const;
    int RecordIntervalSeconds() const;  // 0 for a code outside 0..6
    int FlowElement() const;
    int Medium() const;
    int SquareRoot() const;  // 0 done by this instrument, other by the transmitter
    int PipeMaterial() const;
    int ThrottleMaterial() const;
    ConfigValue PipeDiameter() const;  // D (D20), mm
    ConfigValue ThrottleDiameter() const;
    ConfigValue AtmosphericPressure() const;  // MPa
    int KSegmentCount() const;                // as stored; 0..10 when sane
    int KFactorUnit() const;
    // Breakpoint i = 1..10 (segment i runs from breakpoint i-1 to i); Breakpoint(0) is 0.
    ConfigValue Breakpoint(int i) const;
    ConfigValue KValue(int i) const;  // i = 1..10
    int DrynessOrHumidity() const;    // percent
    DecimalTriple PipeExpansion() const;
    DecimalTriple ThrottleExpansion() const;
    int StandardTemperatureCode() const;
    int StandardTemperatureCelsius() const;  // 20 for code 0, else 0
    DecimalTriple StandardDensity() const;   // kg/m3
    DecimalTriple Compressibility() const;
    ConfigValue DischargeCoefficient() const;
    ConfigValue ExpansionCoefficient() const;

    // Input channels k = 0..2 and their alarms; empty for other k.
    InputChannelConfig Input(int k) const;
    AlarmLimits Alarm(int k) const;

    // Trade settlement
    ConfigValue OutageMakeUp() const;  // in the flow unit
    int FlowUnit() const;
    ConfigValue FlowMultiplier() const;
    ConfigValue SmallFlowThreshold() const;
    ConfigValue SmallFlowFixedValue() const;
    ConfigValue OverPlanThreshold() const;
    ConfigValue OverPlanFactor() const;
    int FlowTotalUnit() const;            // version 1004
    ConfigValue FlowCorrectionK() const;  // version 1003
    ConfigValue FlowCorrectionB() const;  // version 1003
    ConfigValue FlowRange() const;        // version 1004

    // Heat
    ConfigValue HeatMakeUp() const;
    bool HeatEnabled() const;
    int HeatDirection() const;  // 0 heating, other cooling
    int HeatMethod() const;     // 0 enthalpy, other mean specific heat
    int HeatUnit() const;
    ConfigValue HeatMultiplier() const;
    ConfigValue SpecificHeat() const;
    int HeatTotalUnit() const;
    ConfigValue HeatRange() const;  // version 1004

    // Reports: shift s = 1..3 runs from ShiftBoundary(s-1) (ShiftBoundary(ShiftCount()) for
    // shift 1) to ShiftBoundary(s).
    int ShiftCount() const;
    int ShiftBoundary(int i) const;  // i = 1..3

    // Analogue output
    int OutputSource() const;  // 0 none, 1 flow, other heat (cooling when HeatDirection())
    ConfigValue OutputK() const;
    ConfigValue OutputB() const;
    ConfigValue OutputRangeLow() const;
    ConfigValue OutputRangeHigh() const;

    // Communication
    int Address() const;
    int BaudRateCode() const;
    int BaudRate() const;  // 0 for a code outside 0..6
    int Parity() const;
    int ByteOrder() const;

    // Printing
    bool TimedPrinting() const;
    int PrintStartHour() const;
    int PrintStartMinute() const;
    int PrintIntervalHours() const;
    int PrintIntervalMinutes() const;
    bool PrintOnKey() const;

    // Gas composition g = 0..17 in percent (version 1003) and user medium rows r = 0..9
    // (version 1004).
    ConfigValue GasFraction(int g) const;
    UserMediumRow UserMedium(int r) const;

private:
    ConfigValue ValueFrom(int version, std::size_t valueOffset, std::size_t decimalsOffset) const;

    const std::uint8_t* data_;
    std::size_t size_;
    int version_;
};

}  // namespace kvr
