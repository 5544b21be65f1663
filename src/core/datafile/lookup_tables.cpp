#include "core/datafile/lookup_tables.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace kvr {
namespace {

template <std::size_t N>
std::string Lookup(const std::array<std::string_view, N>& table, int code) {
    if (code < 0 || static_cast<std::size_t>(code) >= N) return {};
    return std::string(table[static_cast<std::size_t>(code)]);
}

template <std::size_t N>
int LookupNumber(const std::array<int, N>& table, int code) {
    if (code < 0 || static_cast<std::size_t>(code) >= N) return 0;
    return table[static_cast<std::size_t>(code)];
}

// Width of UTF-8 text in GBK bytes: one column per ASCII character, two per other character.
std::size_t GbkColumns(std::string_view utf8) {
    std::size_t columns = 0;
    for (unsigned char byte : utf8) {
        if (byte < 0x80)
            columns += 1;
        else if ((byte & 0xC0) != 0x80)
            columns += 2;
    }
    return columns;
}

constexpr std::size_t kFlowElementColumns = 14;

constexpr std::array<std::string_view, 17> kFlowElements = {"法兰取压孔板",
                                                            "角接取压孔板",
                                                            "D和D/2取压孔板",
                                                            "ISA1932喷嘴",
                                                            "长径喷嘴",
                                                            "文丘里喷嘴",
                                                            "铸造型文丘里管",
                                                            "机械加工文丘里",
                                                            "粗焊铁板文丘里",
                                                            "其它差压流量计",
                                                            "频率型涡街",
                                                            "线性流量计",
                                                            "V锥",
                                                            "弯管",
                                                            "弯 管",
                                                            "弯  管",
                                                            "质量流量计"};

constexpr std::array<std::string_view, 28> kMedia = {
    "饱和蒸汽温度补偿", "饱和蒸汽压力补偿", "过热蒸汽", "0.6MPa水", "1.6MPa水", "空气Air",
    "氮气N2",           "氧气O2",           "氦气He",   "氢气H2",   "氩气Ar",   "一氧化碳C0",
    "二氧化碳CO2",      "硫化氢H2S",        "氨气NH3",  "甲烷CH4",  "乙烷C2H6", "丙烷C3H8",
    "丁烷C4H10",        "乙烯C2H4",         "乙炔C2H2", "丙烯C3H6", "丁烯C4H8", "一般气体",
    "混合气体",         "人工煤气",         "一般液体", "用户介质"};

constexpr std::array<std::string_view, 18> kMaterials = {
    "15钢,A3钢", "A3F,B3钢", "10钢",      "20钢",    "45钢",      "1Cr13",
    "Cr17",      "12Cr1Mov", "10CrMo910", "Cr6SiMo", "X20CrMoWV", "1Cr18Ni9Ti",
    "普通碳钢",  "工业用铜", "红铜",      "黄铜",    "灰口铸铁",  "用户自定义"};

constexpr std::array<std::string_view, 3> kInputChannels = {"差压", "压力", "温度"};
constexpr std::array<std::string_view, 3> kInputModes = {"计算  ", "输入  ", "设定  "};
constexpr std::array<std::string_view, 7> kSignalTypes = {"FR", "4-20mA", "100mV", "PT100",
                                                          "K",  "E",      "T"};
constexpr std::array<std::string_view, 4> kBreakHandling = {"应急参数", "最小值", "最大值",
                                                            "保  持"};

constexpr std::array<std::string_view, 6> kFlowUnits = {"kg/h", "t/h",    "Nm3/h",
                                                        "m3/h", "kNm3/h", "km3/h"};
constexpr std::array<std::string_view, 6> kFlowTotalUnits = {"kg", "t", "Nm3", "kNm3", "m3", "km3"};
constexpr std::array<std::string_view, 4> kHeatUnits = {"kJ", "MJ", "GJ", "kWh"};

constexpr std::array<std::string_view, 2> kKFactorUnits = {"次/m3", "次/L"};
constexpr std::array<std::string_view, 3> kParity = {"无校验", "奇校验", "偶校验"};
constexpr std::array<std::string_view, 5> kByteOrders = {"默认", "1-2-3-4", "2-1-4-3", "3-4-1-2",
                                                         "4-3-2-1"};

constexpr std::array<int, 7> kRecordIntervals = {60, 120, 300, 600, 1200, 1800, 3600};
constexpr std::array<int, 7> kBaudRates = {1200, 2400, 4800, 9600, 19200, 38400, 57600};

constexpr std::array<std::string_view, 7> kOperations = {
    "修改组态参数", "修改流量累积倍率", "修改热量累积倍率", "清除流量累积",
    "清除热量累积", "修改记录间隔",     "清除余量"};

constexpr std::array<std::string_view, 18> kGases = {
    "空气Air",    "氮气N2",      "氧气O2",    "氦气He",   "氢气H2",   "氩气Ar",
    "一氧化碳C0", "二氧化碳CO2", "硫化氢H2S", "氨气NH3",  "甲烷CH4",  "乙烷C2H6",
    "丙烷C3H8",   "丁烷C4H10",   "乙烯C2H4",  "乙炔C2H2", "丙烯C3H6", "丁烯C4H8"};

std::string EitherText(int code, std::string_view zero, std::string_view other) {
    return std::string(code == 0 ? zero : other);
}

}  // namespace

std::string FlowElementText(int code) {
    std::string text = Lookup(kFlowElements, code);
    if (text.empty()) return text;
    const std::size_t columns = GbkColumns(text);
    if (columns < kFlowElementColumns) text.append(kFlowElementColumns - columns, ' ');
    return text;
}

std::string MediumText(int code) { return Lookup(kMedia, code); }
std::string MaterialText(int code) { return Lookup(kMaterials, code); }
std::string InputChannelText(int k) { return Lookup(kInputChannels, k); }
std::string InputModeText(int code) { return Lookup(kInputModes, code); }
std::string SignalTypeText(int code) { return Lookup(kSignalTypes, code); }
std::string BreakHandlingText(int code) { return Lookup(kBreakHandling, code); }
std::string FlowUnitText(int code) { return Lookup(kFlowUnits, code); }
std::string HeatUnitText(int code) { return Lookup(kHeatUnits, code); }
std::string FlowTotalUnitText(int code) { return Lookup(kFlowTotalUnits, code); }
std::string HeatTotalUnitText(int code) { return Lookup(kHeatUnits, code); }

std::string SquareRootText(int code) { return EitherText(code, "本机开方", "差变开方"); }
std::string HeatDirectionText(int code) { return EitherText(code, "热量", "冷量"); }
std::string HeatMethodText(int code) { return EitherText(code, "热焓", "平均比热容"); }
std::string KFactorUnitText(int code) { return Lookup(kKFactorUnits, code); }

std::string ParityText(int code) { return Lookup(kParity, code); }
std::string ByteOrderText(int code) { return Lookup(kByteOrders, code); }
int RecordIntervalSeconds(int code) { return LookupNumber(kRecordIntervals, code); }
int BaudRate(int code) { return LookupNumber(kBaudRates, code); }
std::string OperationText(int code) { return Lookup(kOperations, code); }
std::string GasText(int g) { return Lookup(kGases, g); }

AlarmKind AlarmKindFromBits(int bits) {
    if (bits & 0x01) return AlarmKind::kLowLow;
    if (bits & 0x02) return AlarmKind::kLow;
    if (bits & 0x04) return AlarmKind::kHigh;
    if (bits & 0x08) return AlarmKind::kHighHigh;
    return AlarmKind::kNone;
}

std::string AlarmKindText(AlarmKind kind) {
    switch (kind) {
        case AlarmKind::kLowLow: return "下下限";
        case AlarmKind::kLow: return "下限";
        case AlarmKind::kHigh: return "上限";
        case AlarmKind::kHighHigh: return "上上限";
        case AlarmKind::kNone: break;
    }
    return "无";
}

}  // namespace kvr
