#pragma once
// Texts and numbers behind the coded bytes of the configuration record. Every text function
// returns UTF-8 and "" for a code outside its table; every number function returns 0 there.
#include <string>

namespace kvr {

// Table F (0x040), padded with spaces to 14 columns as the instrument's table stores it.
std::string FlowElementText(int code);
// Table M (0x041).
std::string MediumText(int code);
// Table T (0x043, 0x044).
std::string MaterialText(int code);

// Input channel k = 0..2: "差压", "压力", "温度".
std::string InputChannelText(int k);
// 0 "计算  ", 1 "输入  ", 2 "设定  " (two trailing spaces each, as in the table).
std::string InputModeText(int code);
// 0 "FR", 1 "4-20mA", 2 "100mV", 3 "PT100", 4 "K", 5 "E", 6 "T".
std::string SignalTypeText(int code);
// 0 "应急参数", 1 "最小值", 2 "最大值", 3 "保  持".
std::string BreakHandlingText(int code);

// Rate units: flow 0..5 ("kg/h" ...), heat 0..3 ("kJ" ...).
std::string FlowUnitText(int code);
std::string HeatUnitText(int code);
// Total units: flow 0..5 ("kg", "t", "Nm3", "kNm3", "m3", "km3"; not the rate order),
// heat 0..3.
std::string FlowTotalUnitText(int code);
std::string HeatTotalUnitText(int code);

// Two-valued settings: code 0 gives the first text, any other code the second.
std::string SquareRootText(int code);     // "本机开方" / "差变开方"
std::string HeatDirectionText(int code);  // "热量" / "冷量"
std::string HeatMethodText(int code);     // "热焓" / "平均比热容"
// 0 "次/m3", 1 "次/L".
std::string KFactorUnitText(int code);

// 0 "无校验", 1 "奇校验", 2 "偶校验".
std::string ParityText(int code);
// 0 "默认", 1 "1-2-3-4", 2 "2-1-4-3", 3 "3-4-1-2", 4 "4-3-2-1".
std::string ByteOrderText(int code);

// Codes 0..6 -> 60, 120, 300, 600, 1200, 1800, 3600 seconds.
int RecordIntervalSeconds(int code);
// Codes 0..6 -> 1200 ... 57600 baud.
int BaudRate(int code);

// Operation log codes 0..6 ("修改组态参数" ...).
std::string OperationText(int code);

// Gas g = 0..17 of the composition table, as the report labels it ("空气Air", "氮气N2", ...).
std::string GasText(int g);

enum class AlarmKind { kNone, kLowLow, kLow, kHigh, kHighHigh };
// Bit 0 low-low, bit 1 low, bit 2 high, bit 3 high-high: the lowest set bit decides.
AlarmKind AlarmKindFromBits(int bits);
// "无", "下下限", "下限", "上限", "上上限".
std::string AlarmKindText(AlarmKind kind);

}  // namespace kvr
