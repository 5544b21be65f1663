// The configuration report's texts, tab by tab, against worked examples. Offsets are written
// out as the instrument documents them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/analysis/config_report.h"
#include "core/datafile/config_record.h"

namespace {

struct Image {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(4048, 0);
    int version = 1004;

    Image& Byte(std::size_t offset, int value) {
        bytes[offset] = static_cast<std::uint8_t>(value);
        return *this;
    }
    Image& Float(std::size_t offset, float value) {
        std::memcpy(bytes.data() + offset, &value, 4);
        return *this;
    }
    // A float with its decimals byte.
    Image& Value(std::size_t value, std::size_t decimals, float v, int d) {
        return Float(value, v).Byte(decimals, d);
    }
    Image& Triple(std::size_t offset, int mantissa, int decimals) {
        Byte(offset, mantissa & 0xFF).Byte(offset + 1, (mantissa >> 8) & 0xFF);
        return Byte(offset + 2, decimals);
    }
    Image& Text(std::size_t offset, const char* ascii) {
        std::memcpy(bytes.data() + offset, ascii, std::strlen(ascii));
        return *this;
    }
    std::string Tab(kvr::ConfigTab tab) const {
        const std::size_t size = version == 1002 ? 3728 : version == 1003 ? 3888 : 4048;
        const kvr::ConfigRecord record(bytes.data(), size, version);
        return kvr::ConfigReportText(record, static_cast<int>(tab)).value_or("<no tab>");
    }
};

using kvr::ConfigTab;

TEST(ConfigReport, TabsDependOnVersion) {
    for (int version : {1002, 1003, 1004}) {
        Image image;
        image.version = version;
        const int expected = version == 1002 ? 8 : 9;
        EXPECT_EQ(kvr::ConfigReportTabCount(version), expected);
        EXPECT_EQ(image.Tab(ConfigTab::kGasComposition) == "<no tab>", version == 1002) << version;
    }
    EXPECT_EQ(kvr::ConfigReportTabTitle(0), "流量组态");
    EXPECT_EQ(kvr::ConfigReportTabTitle(8), "气体组分");
    EXPECT_EQ(kvr::ConfigReportTabTitle(9), "");
    Image image;
    const kvr::ConfigRecord record(image.bytes.data(), image.bytes.size(), 1004);
    EXPECT_FALSE(kvr::ConfigReportText(record, -1));
    EXPECT_FALSE(kvr::ConfigReportText(record, 9));
}

TEST(ConfigReportFlow, OrificeWithUserDefinedMaterials) {
    Image image;
    image.Byte(0x040, 2).Byte(0x041, 2).Byte(0x042, 1).Byte(0x043, 17).Byte(0x044, 3);
    image.Value(0x060, 0x045, 100.0f, 2)
        .Value(0x064, 0x046, 50.5f, 1)
        .Value(0x068, 0x047, 0.1013f, 4);
    image.Triple(0x0BC, 1234, 2);
    EXPECT_EQ(image.Tab(ConfigTab::kFlow),
              "装置:D和D/2取压孔板\r\n开方:差变开方\r\n管道材质:用户自定义\r\n节流材质:20钢\r\n"
              "管道口径:100.00 mm\r\n节流件口径:50.5 mm\r\nλD:12.34 e+6mm/mm.℃\r\n"
              "介质:过热蒸汽\r\n大气压:0.1013 MPa\r\n");
}

TEST(ConfigReportFlow, KFactorSegments) {
    Image image;
    image.Byte(0x040, 9).Byte(0x041, 3);
    // n = 0: the count line ends before the medium line.
    EXPECT_EQ(
        image.Tab(ConfigTab::kFlow),
        "装置:其它差压流量计\r\n开方:本机开方\r\nK系数段数:0\r\n介质:0.6MPa水\r\n大气压:0 MPa\r\n");

    image.Byte(0x048, 3);
    image.Value(0x06C, 0x04A, 10.0f, 1).Value(0x070, 0x04B, 20.0f, 2).Value(0x074, 0x04C, 30.0f, 0);
    image.Value(0x094, 0x054, 1.5f, 1).Value(0x098, 0x055, 2.25f, 2).Value(0x09C, 0x056, 3.0f, 3);
    const std::string segments =
        "差压:0 ~ 10.0\r\nK1:1.5\r\n差压:10.0 ~ 20.00\r\nK2:2.25\r\n差压:20.00 ~ "
        "30\r\nK3:3.000\r\n";
    EXPECT_EQ(image.Tab(ConfigTab::kFlow),
              "装置:其它差压流量计\r\n开方:本机开方\r\nK系数段数:3\r\n" + segments +
                  "介质:0.6MPa水\r\n大气压:0 MPa\r\n");

    // The vortex meter: no extraction line, a unit line for codes 0 and 1 only, frequencies.
    image.Byte(0x040, 10).Byte(0x049, 1);
    std::string vortex = segments;
    for (std::size_t at; (at = vortex.find("差压")) != std::string::npos;)
        vortex.replace(at, 6, "频率");
    EXPECT_EQ(image.Tab(ConfigTab::kFlow),
              "装置:频率型涡街    \r\nK系数段数:3\r\nK系数单位:次/L\r\n" + vortex +
                  "介质:0.6MPa水\r\n大气压:0 MPa\r\n");
    image.Byte(0x049, 7);
    EXPECT_EQ(image.Tab(ConfigTab::kFlow).find("K系数单位"), std::string::npos);

    // A count past the table's ten segments lists the ten that exist.
    image.Byte(0x048, 200);
    const std::string many = image.Tab(ConfigTab::kFlow);
    EXPECT_NE(many.find("K10:"), std::string::npos);
    EXPECT_EQ(many.find("K11:"), std::string::npos);
}

TEST(ConfigReportFlow, ElementLinesByCode) {
    Image image;
    image.Byte(0x041, 3).Value(0x094, 0x054, 1.0f, 1).Value(0x098, 0x055, 2.0f, 1);
    image.Value(0x09C, 0x056, 3.0f, 1).Value(0x060, 0x045, 80.0f, 0);
    image.Value(0x0CC, 0x0C9, 0.6f, 2).Value(0x0D0, 0x0CA, 0.99f, 3);
    const std::string medium = "介质:0.6MPa水\r\n大气压:0 MPa\r\n";
    const std::string materials =
        "管道材质:15钢,A3钢\r\n节流材质:15钢,A3钢\r\n管道口径:80 mm\r\n节流件口径:0 mm\r\n";
    const struct {
        int element;
        std::string lines;
    } cases[] = {
        {0, "装置:法兰取压孔板  \r\n开方:本机开方\r\n" + materials},
        {8, "装置:粗焊铁板文丘里\r\n开方:本机开方\r\n" + materials},
        {11, "装置:线性流量计    \r\n"},
        {12, "装置:V锥           \r\n开方:本机开方\r\n流出系数:0.60 \r\n膨胀系数:0.990 \r\n" +
                 materials},
        {13, "装置:弯管          \r\n开方:本机开方\r\nK1 = 1.0\r\nK2 = 2.0\r\nD20 = 80\r\n"},
        {14, "装置:弯 管         \r\n开方:本机开方\r\nK1 = 1.0\r\nK2 = 2.0\r\nK3 = 3.0\r\n"},
        {15,
         "装置:弯  管        \r\n开方:本机开方\r\nK1 = 1.0\r\nK2 = 2.0\r\nK3 = 3.0\r\nD20 = "
         "80\r\n"},
        {16, "装置:质量流量计    \r\n"},
        {40, "装置:\r\n"},
    };
    for (const auto& c : cases) {
        image.Byte(0x040, c.element);
        EXPECT_EQ(image.Tab(ConfigTab::kFlow), c.lines + medium) << "element " << c.element;
    }
}

TEST(ConfigReportFlow, MediumLinesByKind) {
    Image image;
    image.Byte(0x040, 11).Byte(0x05E, 95).Byte(0x0C2, 1);
    image.Triple(0x0C3, 12345, 3).Triple(0x0C6, 998, 3);
    const std::string head = "装置:线性流量计    \r\n";
    const struct {
        int medium;
        std::string lines;
    } cases[] = {
        {1, "介质:饱和蒸汽压力补偿\r\n大气压:0 MPa\r\n干度:95%\r\n"},
        {4, "介质:1.6MPa水\r\n大气压:0 MPa\r\n"},
        {5, "介质:空气Air\r\n大气压:0 MPa\r\n湿度:95%\r\n标况温度:0 ℃\r\n"},
        {23,
         "介质:一般气体\r\n大气压:0 MPa\r\n湿度:95%\r\n标况温度:0 ℃\r\n标况密度:12.345 kg/m3\r\n"
         "压缩系数:0.998 \r\n"},
        {26, "介质:一般液体\r\n大气压:0 MPa\r\n密度:12.345 kg/m3\r\n"},
    };
    for (const auto& c : cases) {
        image.Byte(0x041, c.medium);
        EXPECT_EQ(image.Tab(ConfigTab::kFlow), head + c.lines) << "medium " << c.medium;
    }
    image.Byte(0x0C2, 0).Byte(0x041, 6);
    EXPECT_NE(image.Tab(ConfigTab::kFlow).find("标况温度:20 ℃\r\n"), std::string::npos);
}

TEST(ConfigReportFlow, UserMediumShowsTableRowsZeroToNineAsOneToTen) {
    Image image;
    image.Byte(0x040, 11).Byte(0x041, 27);
    for (int r = 0; r < 10; ++r) {
        image.Value(0x590 + 4 * r, 0x608 + r, 10.0f * r, 1);
        image.Value(0x5B8 + 4 * r, 0x612 + r, 1000.0f + r, 0);
        image.Value(0x5E0 + 4 * r, 0x61C + r, 4.0f, 2);
    }
    const std::string text = image.Tab(ConfigTab::kFlow);
    EXPECT_NE(text.find("用户表格:\r\n序号01:\t温度:0.0℃\t密度:1000kg/m3\t比热:4.00kJ/kg.℃\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("序号10:\t温度:90.0℃\t密度:1009kg/m3\t比热:4.00kJ/kg.℃\r\n"),
              std::string::npos);
    EXPECT_EQ(text.find("序号11"), std::string::npos);

    // Version 1003 files carry no table: the rows read as zero.
    image.version = 1003;
    EXPECT_NE(image.Tab(ConfigTab::kFlow).find("序号10:\t温度:0℃\t密度:0kg/m3\t比热:0kJ/kg.℃\r\n"),
              std::string::npos);
}

TEST(ConfigReport, DecimalsAboveNineShowNoDigits) {
    Image image;
    image.Byte(0x040, 11).Byte(0x041, 26).Value(0x068, 0x047, 1.75f, 255).Triple(0x0C3, 7, 200);
    EXPECT_EQ(image.Tab(ConfigTab::kFlow),
              "装置:线性流量计    \r\n介质:一般液体\r\n大气压:2 MPa\r\n密度:7 kg/m3\r\n");
}

TEST(ConfigReportInputs, ModesAndBreakHandling) {
    Image image;
    // Differential pressure: measured 4-20mA input with emergency value.
    image.Byte(0x0F0, 1).Byte(0x0F1, 1).Text(0x0F2, "kPa").Byte(0x102, 25).Byte(0x103, 0);
    image.Value(0x118, 0x106, 0.0f, 1).Value(0x11C, 0x107, 100.0f, 1).Float(0x10C, 5.0f);
    image.Value(0x120, 0x108, 1.0f, 3).Value(0x124, 0x109, -0.5f, 2).Value(0x114, 0x105, 42.0f, 0);
    // Pressure: fixed value.
    image.Byte(0x190, 2).Text(0x192, "MPa").Value(0x1B0, 0x1A4, 0.35f, 2);
    // Temperature: thermocouple input with hold on a break.
    image.Byte(0x230, 1).Byte(0x231, 5).Text(0x232, "C").Byte(0x243, 3);
    EXPECT_EQ(image.Tab(ConfigTab::kInputs),
              "通道:差压  \r\n方式:输入  \r\n类型:4-20mA\r\n单位:kPa\r\n量程:0.0 ~ 100.0\r\n"
              "切除:0.5 %\r\n滤波:2.5 秒\r\nK = :1.000 \r\nB = :-0.50 "
              "\r\n断线处理:应急参数\r\n应急参数:42 \r\n\r\n"
              "通道:压力  \r\n方式:设定  \r\n设定值:0.35 MPa\r\n\r\n"
              "通道:温度  \r\n方式:输入  \r\n类型:E\r\n单位:C\r\n量程:0 ~ 0\r\n切除:0.0 %\r\n"
              "滤波:0.0 秒\r\nK = :0 \r\nB = :0 \r\n断偶处理:保  持\r\n\r\n");
    // With a flow element the cutoff is a frequency; signal type 4 has a resistor to break.
    image.Byte(0x040, 10).Byte(0x0F1, 4).Byte(0x190, 0);
    const std::string text = image.Tab(ConfigTab::kInputs);
    EXPECT_NE(text.find("切除:5.0 Hz\r\n"), std::string::npos);
    EXPECT_NE(text.find("断阻处理:应急参数\r\n"), std::string::npos);
    EXPECT_NE(text.find("通道:压力  \r\n方式:计算  \r\n\r\n"), std::string::npos);
}

TEST(ConfigReportSettings, TradeSettlementByVersion) {
    Image image;
    image.Byte(0x3B1, 2).Value(0x3B8, 0x3B0, 12.5f, 1).Value(0x3BC, 0x3B3, 1.0f, 2);
    image.Float(0x3C0, 0.5f).Value(0x3C4, 0x3B4, 900.0f, 0).Float(0x3C8, 1.2f);
    image.Value(0x3CC, 0x3B2, 1.0f, 0).Value(0x3D4, 0x3D0, 1.01f, 2).Value(0x3D8, 0x3D1, 0.2f, 1);
    image.Byte(0x3B6, 3).Value(0x3DC, 0x3D2, 5000.0f, 0);
    const std::string base =
        "流量单位:Nm3/h\r\n停电补足:12.5 Nm3/h\r\n小流量阀值:1.00 Nm3/h\r\n小流量定值:0.50 "
        "Nm3/h\r\n"
        "超计划阀值:900 Nm3/h\r\n超计划系数:1 \r\n流量累积倍率:1\r\n";
    image.version = 1002;
    EXPECT_EQ(image.Tab(ConfigTab::kTradeSettlement), base);
    image.version = 1003;
    EXPECT_EQ(image.Tab(ConfigTab::kTradeSettlement), base + "K:1.01\r\nB:0.2\r\n");
    image.version = 1004;
    EXPECT_EQ(image.Tab(ConfigTab::kTradeSettlement),
              base + "K:1.01\r\nB:0.2\r\n累积流量单位:kNm3\r\n流量量程:5000\r\n");
}

TEST(ConfigReportSettings, HeatOnAndOff) {
    Image image;
    image.Byte(0x3F2, 1);
    EXPECT_EQ(image.Tab(ConfigTab::kHeat), "冷量:关闭\r\n");
    image.Byte(0x3F1, 1).Byte(0x3F2, 0).Byte(0x3F3, 1).Byte(0x3F4, 2);
    image.Value(0x3FC, 0x3F0, 3.0f, 1).Value(0x400, 0x3F5, 1.0f, 0).Value(0x3F8, 0x3F6, 4.187f, 3);
    image.Value(0x404, 0x408, 200.0f, 0);
    const std::string on =
        "热量:开启\r\n类型:热量:\r\n计算方式:平均比热容\r\n掉电补足:3.0 GJ\r\n"
        "热量单位:GJ\r\n热量累积倍率:1\r\n比热容:4.187 kJ/kg.℃\r\n";
    EXPECT_EQ(image.Tab(ConfigTab::kHeat), on + "累积热量单位:GJ\r\n热量量程:200\r\n");
    image.version = 1003;
    EXPECT_EQ(image.Tab(ConfigTab::kHeat), on);
}

TEST(ConfigReportSettings, Shifts) {
    Image image;
    image.Byte(0x431, 8).Byte(0x432, 16).Byte(0x433, 0);
    const struct {
        int shifts;
        std::string text;
    } cases[] = {
        {1, "每天班数:1班\r\n1班:08点 ~ 08点\r\n"},
        {2, "每天班数:2班\r\n1班:16点 ~ 08点\r\n2班:08点 ~ 16点\r\n"},
        {3, "每天班数:3班\r\n1班:00点 ~ 08点\r\n2班:08点 ~ 16点\r\n3班:16点 ~ 00点\r\n"},
    };
    for (const auto& c : cases) {
        image.Byte(0x430, c.shifts);
        EXPECT_EQ(image.Tab(ConfigTab::kReports), c.text) << c.shifts;
    }
}

TEST(ConfigReportSettings, AlarmsOfEveryChannel) {
    Image image;
    image.Value(0x316 + 0x06, 0x316, 90.0f, 1).Value(0x316 + 0x16, 0x316 + 4, 0.5f, 2);
    const std::string text = image.Tab(ConfigTab::kAlarms);
    EXPECT_EQ(text.substr(0, text.find("通      道:压力")),
              "通      道:差压  \r\n报警上上限:0\r\n报警上限  :0\r\n报警下限  "
              ":0\r\n报警下下限:0\r\n回      差:0\r\n\r\n");
    EXPECT_NE(text.find("通      道:压力  \r\n报警上上限:90.0\r\n报警上限  :0\r\n报警下限  :0\r\n"
                        "报警下下限:0\r\n回      差:0.50\r\n\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("通      道:温度  \r\n"), std::string::npos);
}

TEST(ConfigReportSettings, OutputBySourceAndVersion) {
    Image image;
    image.Value(0x458, 0x453, 4.0f, 1).Value(0x45C, 0x454, 20.0f, 1);
    image.Value(0x460, 0x451, 1.0f, 2).Value(0x464, 0x452, 0.0f, 0);
    EXPECT_EQ(image.Tab(ConfigTab::kOutput), "输出通道:无\r\n");
    image.Byte(0x450, 1);
    EXPECT_EQ(image.Tab(ConfigTab::kOutput), "输出通道:流量\r\nK = :1.00\r\nB = :0\r\n");
    image.Byte(0x450, 2).Byte(0x3F2, 1);
    image.version = 1002;
    EXPECT_EQ(image.Tab(ConfigTab::kOutput),
              "输出通道:冷量\r\n量程:\r\n4.0 ~ 20.0\r\nK = :1.00\r\nB = :0\r\n");
    image.Byte(0x3F2, 0);
    EXPECT_EQ(image.Tab(ConfigTab::kOutput).find("输出通道:热量\r\n"), 0u);
}

TEST(ConfigReportSettings, Functions) {
    Image image;
    image.Byte(0x01D, 6).Byte(0x490, 7).Byte(0x491, 3).Byte(0x492, 2).Byte(0x493, 4);
    image.Byte(0x4B0, 1).Byte(0x4B1, 8).Byte(0x4B2, 30).Byte(0x4B3, 2).Byte(0x4B4, 0);
    EXPECT_EQ(
        image.Tab(ConfigTab::kFunctions),
        "【系统组态】\r\n记录间隔:60 分\r\n\r\n【通讯组态】\r\n仪表地址:007\r\n波特率:9600\r\n"
        "校验:偶校验\r\n校验:4-3-2-1\r\n\r\n【打印组态】\r\n定时打印:开启\r\n"
        "起始时间:08时:30分\r\n打印间隔:02时:00分\r\n按键打印:关闭\r\n");
    // Codes past their tables show empty texts, never a neighbouring table's bytes.
    image.Byte(0x01D, 7)
        .Byte(0x491, 200)
        .Byte(0x492, 3)
        .Byte(0x493, 5)
        .Byte(0x4B0, 0)
        .Byte(0x4B5, 1);
    EXPECT_EQ(image.Tab(ConfigTab::kFunctions),
              "【系统组态】\r\n记录间隔: 分\r\n\r\n【通讯组态】\r\n仪表地址:007\r\n波特率:\r\n"
              "校验:\r\n校验:\r\n\r\n【打印组态】\r\n定时打印:关闭\r\n按键打印:开启\r\n");
}

TEST(ConfigReportSettings, GasComposition) {
    Image image;
    image.Value(0x4F0, 0x538, 78.08f, 2).Value(0x4F0 + 4 * 17, 0x538 + 17, 0.5f, 1);
    const std::string text = image.Tab(ConfigTab::kGasComposition);
    EXPECT_EQ(text.substr(0, text.find("\r\n") + 2),
              "空气Air:78.08%\r\t\r\t\r\t氮气N2:0%\r\t\r\t\r\t氧气O2:0%\r\n");
    EXPECT_NE(text.find("乙炔C2H2:0%\r\t\t\r\t丙烯C3H6:0%\r\t\t\r\t丁烯C4H8:0.5%\r\n"),
              std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, 6u);
}

}  // namespace
