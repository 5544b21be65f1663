// The flow tab of the configuration report: the flow element with its element-specific
// lines, then the medium with the lines its kind needs.
#include <algorithm>

#include "core/analysis/config_report.h"
#include "core/analysis/config_text.h"
#include "core/datafile/lookup_tables.h"

namespace kvr {
namespace {

enum Element {
    kLastOrifice = 8,
    kOtherDp = 9,
    kVortex = 10,
    kVCone = 12,
    kElbowD20 = 13,
    kElbowK3 = 14,
    kElbowK3D20 = 15
};
enum MediumCode { kLastWater = 4, kGeneralGas = 23, kGeneralLiquid = 26, kUserMedium = 27 };
constexpr int kUserDefinedMaterial = 17;
constexpr int kSaturatedSteamMedia = 2;  // codes below this are saturated steam

std::string ExtractionLine(const ConfigRecord& r) {
    return "开方:" + SquareRootText(r.SquareRoot()) + "\r\n";
}

std::string MaterialLines(const ConfigRecord& r) {
    std::string text = "管道材质:" + MaterialText(r.PipeMaterial()) + "\r\n";
    text += "节流材质:" + MaterialText(r.ThrottleMaterial()) + "\r\n";
    text += "管道口径:" + FixedText(r.PipeDiameter()) + " mm\r\n";
    text += "节流件口径:" + FixedText(r.ThrottleDiameter()) + " mm\r\n";
    if (r.PipeMaterial() == kUserDefinedMaterial)
        text += "λD:" + FixedText(r.PipeExpansion()) + " e+6mm/mm.℃\r\n";
    if (r.ThrottleMaterial() == kUserDefinedMaterial)
        text += "λd:" + FixedText(r.ThrottleExpansion()) + " e+6mm/mm.℃\r\n";
    return text;
}

// Segment k runs from breakpoint k-1 (0 for the first) to breakpoint k and has K value k.
// A count byte above the table's ten segments lists the ten that exist.
std::string SegmentLines(const ConfigRecord& r, const std::string& boundLabel) {
    std::string text;
    const int segments = std::min(r.KSegmentCount(), static_cast<int>(cfg::kMaxKSegments));
    for (int k = 1; k <= segments; ++k) {
        const std::string lower = k == 1 ? FixedText(0.0, 0) : FixedText(r.Breakpoint(k - 1));
        text += boundLabel + lower + " ~ " + FixedText(r.Breakpoint(k)) + "\r\n";
        text += "K" + std::to_string(k) + ":" + FixedText(r.KValue(k)) + "\r\n";
    }
    return text;
}

std::string KLine(const ConfigRecord& r, int i) {
    return "K" + std::to_string(i) + " = " + FixedText(r.KValue(i)) + "\r\n";
}

std::string D20Line(const ConfigRecord& r) {
    return "D20 = " + FixedText(r.PipeDiameter()) + "\r\n";
}

std::string ElementLines(const ConfigRecord& r) {
    const int element = r.FlowElement();
    if (element <= kLastOrifice) return ExtractionLine(r) + MaterialLines(r);
    const std::string count = "K系数段数:" + std::to_string(r.KSegmentCount()) + "\r\n";
    switch (element) {
        case kOtherDp: return ExtractionLine(r) + count + SegmentLines(r, "差压:");
        case kVortex: {
            const std::string unit = KFactorUnitText(r.KFactorUnit());
            return count + (unit.empty() ? "" : "K系数单位:" + unit + "\r\n") +
                   SegmentLines(r, "频率:");
        }
        case kVCone:
            return ExtractionLine(r) + "流出系数:" + FixedText(r.DischargeCoefficient()) + " \r\n" +
                   "膨胀系数:" + FixedText(r.ExpansionCoefficient()) + " \r\n" + MaterialLines(r);
        case kElbowD20: return ExtractionLine(r) + KLine(r, 1) + KLine(r, 2) + D20Line(r);
        case kElbowK3: return ExtractionLine(r) + KLine(r, 1) + KLine(r, 2) + KLine(r, 3);
        case kElbowK3D20:
            return ExtractionLine(r) + KLine(r, 1) + KLine(r, 2) + KLine(r, 3) + D20Line(r);
        default: return {};  // linear and mass meters need no element lines
    }
}

std::string UserMediumLines(const ConfigRecord& r) {
    std::string text = "用户表格:\r\n";
    for (int row = 0; row < cfg::kMediumRows; ++row) {
        const UserMediumRow m = r.UserMedium(row);
        text += FormatText("序号%02d:\t温度:", row + 1) + FixedText(m.temperature) +
                "℃\t密度:" + FixedText(m.density) + "kg/m3\t比热:" + FixedText(m.specificHeat) +
                "kJ/kg.℃\r\n";
    }
    return text;
}

std::string MediumLines(const ConfigRecord& r) {
    const int medium = r.Medium();
    std::string text = "介质:" + MediumText(medium) + "\r\n";
    text += "大气压:" + FixedText(r.AtmosphericPressure()) + " MPa\r\n";
    if (medium < kSaturatedSteamMedia)
        text += "干度:" + std::to_string(r.DrynessOrHumidity()) + "%\r\n";
    if (medium > kLastWater && medium != kGeneralLiquid) {
        text += "湿度:" + std::to_string(r.DrynessOrHumidity()) + "%\r\n";
        text +=
            std::string("标况温度:") + (r.StandardTemperatureCode() != 0 ? "0 ℃\r\n" : "20 ℃\r\n");
    }
    if (medium == kGeneralGas) {
        text += "标况密度:" + FixedText(r.StandardDensity()) + " kg/m3\r\n";
        text += "压缩系数:" + FixedText(r.Compressibility()) + " \r\n";
    }
    if (medium == kGeneralLiquid) text += "密度:" + FixedText(r.StandardDensity()) + " kg/m3\r\n";
    if (medium == kUserMedium) text += UserMediumLines(r);
    return text;
}

}  // namespace

std::string FlowTabText(const ConfigRecord& record) {
    return "装置:" + FlowElementText(record.FlowElement()) + "\r\n" + ElementLines(record) +
           MediumLines(record);
}

}  // namespace kvr
