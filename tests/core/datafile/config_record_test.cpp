// The configuration record view, its lookup tables and the event-log walk. Offsets are
// written out here as the instrument documents them, independently of the named constants.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <functional>
#include <vector>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/event_log.h"
#include "core/datafile/gbk.h"
#include "core/datafile/lookup_tables.h"
#include "datafile_test_util.h"

namespace {

using Image = std::vector<std::uint8_t>;

Image Blank() { return Image(4048, 0); }

void PutFloat(Image& image, std::size_t offset, float value) {
    std::memcpy(image.data() + offset, &value, 4);
}
void PutWord(Image& image, std::size_t offset, int value) {
    image[offset] = static_cast<std::uint8_t>(value & 0xFF);
    image[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

TEST(ConfigRecord, EveryFloatFieldReadsItsOffsetAndDecimals) {
    using R = kvr::ConfigRecord;
    const struct {
        const char* name;
        std::size_t value, decimals;
        int since;  // first version that stores the field
        std::function<kvr::ConfigValue(const R&)> read;
    } fields[] = {
        {"pipe diameter", 0x060, 0x045, 1002, [](const R& r) { return r.PipeDiameter(); }},
        {"throttle diameter", 0x064, 0x046, 1002, [](const R& r) { return r.ThrottleDiameter(); }},
        {"atmospheric", 0x068, 0x047, 1002, [](const R& r) { return r.AtmosphericPressure(); }},
        {"breakpoint 1", 0x06C, 0x04A, 1002, [](const R& r) { return r.Breakpoint(1); }},
        {"breakpoint 10", 0x090, 0x053, 1002, [](const R& r) { return r.Breakpoint(10); }},
        {"K 1", 0x094, 0x054, 1002, [](const R& r) { return r.KValue(1); }},
        {"K 3", 0x09C, 0x056, 1002, [](const R& r) { return r.KValue(3); }},
        {"K 10", 0x0B8, 0x05D, 1002, [](const R& r) { return r.KValue(10); }},
        {"discharge", 0x0CC, 0x0C9, 1002, [](const R& r) { return r.DischargeCoefficient(); }},
        {"expansion", 0x0D0, 0x0CA, 1002, [](const R& r) { return r.ExpansionCoefficient(); }},
        {"input 2 fixed", 0x250, 0x244, 1002, [](const R& r) { return r.Input(2).fixedValue; }},
        {"input 2 emergency", 0x254, 0x245, 1002,
         [](const R& r) { return r.Input(2).emergencyValue; }},
        {"input 2 range low", 0x258, 0x246, 1002, [](const R& r) { return r.Input(2).rangeLow; }},
        {"input 2 range high", 0x25C, 0x247, 1002, [](const R& r) { return r.Input(2).rangeHigh; }},
        {"input 2 K", 0x260, 0x248, 1002, [](const R& r) { return r.Input(2).correctionK; }},
        {"input 2 B", 0x264, 0x249, 1002, [](const R& r) { return r.Input(2).correctionB; }},
        {"alarm 1 high-high", 0x31C, 0x316, 1002, [](const R& r) { return r.Alarm(1).highHigh; }},
        {"alarm 1 high", 0x320, 0x317, 1002, [](const R& r) { return r.Alarm(1).high; }},
        {"alarm 1 low", 0x324, 0x318, 1002, [](const R& r) { return r.Alarm(1).low; }},
        {"alarm 1 low-low", 0x328, 0x319, 1002, [](const R& r) { return r.Alarm(1).lowLow; }},
        {"alarm 1 hysteresis", 0x32C, 0x31A, 1002,
         [](const R& r) { return r.Alarm(1).hysteresis; }},
        {"outage make-up", 0x3B8, 0x3B0, 1002, [](const R& r) { return r.OutageMakeUp(); }},
        {"flow multiplier", 0x3CC, 0x3B2, 1002, [](const R& r) { return r.FlowMultiplier(); }},
        {"small-flow threshold", 0x3BC, 0x3B3, 1002,
         [](const R& r) { return r.SmallFlowThreshold(); }},
        {"small-flow value", 0x3C0, 0x3B3, 1002,
         [](const R& r) { return r.SmallFlowFixedValue(); }},
        {"over-plan threshold", 0x3C4, 0x3B4, 1002,
         [](const R& r) { return r.OverPlanThreshold(); }},
        {"over-plan factor", 0x3C8, 0x3B4, 1002, [](const R& r) { return r.OverPlanFactor(); }},
        {"flow K", 0x3D4, 0x3D0, 1003, [](const R& r) { return r.FlowCorrectionK(); }},
        {"flow B", 0x3D8, 0x3D1, 1003, [](const R& r) { return r.FlowCorrectionB(); }},
        {"flow range", 0x3DC, 0x3D2, 1004, [](const R& r) { return r.FlowRange(); }},
        {"heat make-up", 0x3FC, 0x3F0, 1002, [](const R& r) { return r.HeatMakeUp(); }},
        {"heat multiplier", 0x400, 0x3F5, 1002, [](const R& r) { return r.HeatMultiplier(); }},
        {"specific heat", 0x3F8, 0x3F6, 1002, [](const R& r) { return r.SpecificHeat(); }},
        {"heat range", 0x404, 0x408, 1004, [](const R& r) { return r.HeatRange(); }},
        {"output low", 0x458, 0x453, 1002, [](const R& r) { return r.OutputRangeLow(); }},
        {"output high", 0x45C, 0x454, 1002, [](const R& r) { return r.OutputRangeHigh(); }},
        {"output K", 0x460, 0x451, 1002, [](const R& r) { return r.OutputK(); }},
        {"output B", 0x464, 0x452, 1002, [](const R& r) { return r.OutputB(); }},
        {"gas air", 0x4F0, 0x538, 1003, [](const R& r) { return r.GasFraction(0); }},
        {"gas CH4", 0x518, 0x542, 1003, [](const R& r) { return r.GasFraction(10); }},
        {"gas C4H8", 0x534, 0x549, 1003, [](const R& r) { return r.GasFraction(17); }},
        {"medium 1 temperature", 0x590, 0x608, 1004,
         [](const R& r) { return r.UserMedium(0).temperature; }},
        {"medium 10 density", 0x5DC, 0x61B, 1004,
         [](const R& r) { return r.UserMedium(9).density; }},
        {"medium 4 specific heat", 0x5EC, 0x61F, 1004,
         [](const R& r) { return r.UserMedium(3).specificHeat; }},
    };
    int n = 0;
    for (const auto& f : fields) {
        SCOPED_TRACE(f.name);
        Image image = Blank();
        const float value = 1.25f + static_cast<float>(++n);
        PutFloat(image, f.value, value);
        image[f.decimals] = static_cast<std::uint8_t>(n % 5 + 1);
        const kvr::ConfigValue read =
            f.read(kvr::ConfigRecord(image.data(), image.size(), f.since));
        EXPECT_EQ(read.value, value);
        EXPECT_EQ(read.decimals, n % 5 + 1);
        if (f.since > 1002) {
            const kvr::ConfigValue older =
                f.read(kvr::ConfigRecord(image.data(), image.size(), f.since - 1));
            EXPECT_EQ(older.value, 0.0f) << "not stored by version " << f.since - 1;
            EXPECT_EQ(older.decimals, 0);
        }
    }
}

TEST(ConfigRecord, EveryCodedByteReadsItsOffset) {
    using R = kvr::ConfigRecord;
    const struct {
        const char* name;
        std::size_t offset;
        int since;
        std::function<int(const R&)> read;
    } fields[] = {
        {"interval code", 0x01D, 1002, [](const R& r) { return r.RecordIntervalCode(); }},
        {"element", 0x040, 1002, [](const R& r) { return r.FlowElement(); }},
        {"medium", 0x041, 1002, [](const R& r) { return r.Medium(); }},
        {"square root", 0x042, 1002, [](const R& r) { return r.SquareRoot(); }},
        {"pipe material", 0x043, 1002, [](const R& r) { return r.PipeMaterial(); }},
        {"throttle material", 0x044, 1002, [](const R& r) { return r.ThrottleMaterial(); }},
        {"segments", 0x048, 1002, [](const R& r) { return r.KSegmentCount(); }},
        {"K unit", 0x049, 1002, [](const R& r) { return r.KFactorUnit(); }},
        {"dryness", 0x05E, 1002, [](const R& r) { return r.DrynessOrHumidity(); }},
        {"standard temperature", 0x0C2, 1002,
         [](const R& r) { return r.StandardTemperatureCode(); }},
        {"input 1 mode", 0x190, 1002, [](const R& r) { return r.Input(1).mode; }},
        {"input 1 signal", 0x191, 1002, [](const R& r) { return r.Input(1).signalType; }},
        {"input 1 filter", 0x1A2, 1002, [](const R& r) { return r.Input(1).filterTenths; }},
        {"input 1 break", 0x1A3, 1002, [](const R& r) { return r.Input(1).breakHandling; }},
        {"flow unit", 0x3B1, 1002, [](const R& r) { return r.FlowUnit(); }},
        {"flow total unit", 0x3B6, 1004, [](const R& r) { return r.FlowTotalUnit(); }},
        {"heat on", 0x3F1, 1002, [](const R& r) { return int(r.HeatEnabled()); }},
        {"heat direction", 0x3F2, 1002, [](const R& r) { return r.HeatDirection(); }},
        {"heat method", 0x3F3, 1002, [](const R& r) { return r.HeatMethod(); }},
        {"heat unit", 0x3F4, 1002, [](const R& r) { return r.HeatUnit(); }},
        {"heat total unit", 0x3F7, 1002, [](const R& r) { return r.HeatTotalUnit(); }},
        {"shifts", 0x430, 1002, [](const R& r) { return r.ShiftCount(); }},
        {"b1", 0x431, 1002, [](const R& r) { return r.ShiftBoundary(1); }},
        {"b3", 0x433, 1002, [](const R& r) { return r.ShiftBoundary(3); }},
        {"output source", 0x450, 1002, [](const R& r) { return r.OutputSource(); }},
        {"address", 0x490, 1002, [](const R& r) { return r.Address(); }},
        {"baud code", 0x491, 1002, [](const R& r) { return r.BaudRateCode(); }},
        {"parity", 0x492, 1002, [](const R& r) { return r.Parity(); }},
        {"byte order", 0x493, 1002, [](const R& r) { return r.ByteOrder(); }},
        {"timed printing", 0x4B0, 1002, [](const R& r) { return int(r.TimedPrinting()); }},
        {"print hour", 0x4B1, 1002, [](const R& r) { return r.PrintStartHour(); }},
        {"print minute", 0x4B2, 1002, [](const R& r) { return r.PrintStartMinute(); }},
        {"print every hours", 0x4B3, 1002, [](const R& r) { return r.PrintIntervalHours(); }},
        {"print every minutes", 0x4B4, 1002, [](const R& r) { return r.PrintIntervalMinutes(); }},
        {"print on key", 0x4B5, 1002, [](const R& r) { return int(r.PrintOnKey()); }},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.name);
        Image image = Blank();
        image[f.offset] = 1;
        EXPECT_EQ(f.read(kvr::ConfigRecord(image.data(), image.size(), f.since)), 1);
        image[f.offset] = 0;
        if (f.offset > 0) image[f.offset - 1] = 0xFF;
        if (f.offset + 1 < image.size()) image[f.offset + 1] = 0xFF;
        EXPECT_EQ(f.read(kvr::ConfigRecord(image.data(), image.size(), f.since)), 0)
            << "neighbours leak in";
        if (f.since > 1002) {
            image[f.offset] = 1;
            EXPECT_EQ(f.read(kvr::ConfigRecord(image.data(), image.size(), f.since - 1)), 0);
        }
    }
}

TEST(ConfigRecord, TextsTriplesAndDerivedNumbers) {
    Image image = Blank();
    const std::string name = kvr::Utf8ToGbk("一二三四五六七八九十一二三四");  // 28 bytes
    std::memcpy(image.data(), name.data(), name.size());
    image[0x1D] = 6;
    const std::string tag = kvr::Utf8ToGbk("温度TT101");
    std::memcpy(image.data() + 0x0E0 + 2 * 0xA0, tag.data(), tag.size());
    std::memcpy(image.data() + 0x0F2 + 2 * 0xA0, kvr::Utf8ToGbk("℃").data(), 2);
    PutFloat(image, 0x10C, 2.5f);  // cutoff of input 0
    kvr::DecimalTriple::Encode(11.16f, 2).Write(image.data() + 0x0BC);
    kvr::DecimalTriple::Encode(-3.5f, 1).Write(image.data() + 0x0BF);
    kvr::DecimalTriple::Encode(0.7174f, 4).Write(image.data() + 0x0C3);
    kvr::DecimalTriple::Encode(0.998f, 3).Write(image.data() + 0x0C6);
    image[0x491] = 6;
    image[0x0C2] = 1;
    const kvr::ConfigRecord r(image.data(), image.size(), 1004);
    EXPECT_EQ(r.DeviceName(), "一二三四五六七八九十一二三四");
    EXPECT_EQ(r.RecordIntervalSeconds(), 3600);
    EXPECT_EQ(r.Input(2).tagName, "温度TT101");
    EXPECT_EQ(r.Input(2).unit, "℃");
    EXPECT_EQ(r.Input(0).smallSignalCutoff, 2.5f);
    EXPECT_EQ(r.PipeExpansion().mantissa, 1116);
    EXPECT_FLOAT_EQ(r.ThrottleExpansion().Value(), -3.5f);
    EXPECT_EQ(r.StandardDensity().decimals, 4);
    EXPECT_EQ(r.Compressibility().mantissa, 998);
    EXPECT_EQ(r.BaudRate(), 57600);
    EXPECT_EQ(r.StandardTemperatureCelsius(), 0);
    EXPECT_EQ(kvr::ConfigRecord(Blank().data(), 4048, 1004).StandardTemperatureCelsius(), 20);
    // Out-of-table codes and indexes answer zero.
    image[0x1D] = 7;
    image[0x491] = 200;
    EXPECT_EQ(r.RecordIntervalSeconds(), 0);
    EXPECT_EQ(r.BaudRate(), 0);
    EXPECT_EQ(r.Breakpoint(0).value, 0.0f);
    EXPECT_EQ(r.KValue(11).value, 0.0f);
    EXPECT_EQ(r.Input(3).tagName, "");
    EXPECT_EQ(r.Alarm(-1).high.value, 0.0f);
    EXPECT_EQ(r.GasFraction(18).value, 0.0f);
    EXPECT_EQ(r.UserMedium(10).density.value, 0.0f);
    EXPECT_EQ(r.ShiftBoundary(0), 0);
}

TEST(ConfigRecord, NeverReadsPastTheBytesItWasGiven) {
    // Exactly sized heap buffers: the sanitizers catch any read beyond them.
    std::vector<std::uint8_t> tiny(3, 0x41);
    const kvr::ConfigRecord r(tiny.data(), tiny.size(), 1004);
    EXPECT_EQ(r.DeviceName(), "AAA");
    EXPECT_EQ(r.Word(2), 0x41);
    EXPECT_EQ(r.DoubleWord(1), 0x4141u);
    EXPECT_EQ(r.Address(), 0);
    EXPECT_EQ(r.Input(0).tagName, "");
    EXPECT_TRUE(kvr::ReadOperationLog(r).empty());

    std::vector<std::uint8_t> v1002(3728, 0);
    PutWord(v1002, 0xCA0 + 2, 50);
    const kvr::ConfigRecord old(v1002.data(), v1002.size(), 1002);
    EXPECT_EQ(kvr::ReadOperationLog(old).size(), 30u);
    const kvr::ConfigRecord none(nullptr, 100, 1004);
    EXPECT_EQ(none.Byte(5), 0);
}

TEST(ConfigRecord, ViewOfAnOpenFileFollowsItsVersion) {
    kvrtest::TempDir dir;
    for (int version : {1002, 1003, 1004}) {
        SCOPED_TRACE(version);
        kvr::SampleOptions options;
        options.version = version;
        kvr::CXFile file;
        ASSERT_EQ(file.Open(kvrtest::WriteSample(dir, "v.FDZ", options)), 1);
        const kvr::ConfigRecord r(file);
        EXPECT_EQ(r.Version(), version);
        EXPECT_EQ(r.DeviceName(), file.GetDeviceName());
        EXPECT_EQ(r.Input(1).tagName, file.GetChannelName(1));
        EXPECT_EQ(r.ShiftCount(), 3);
        EXPECT_EQ(r.ShiftBoundary(1), 8);
        EXPECT_EQ(r.ShiftBoundary(2), 16);
        EXPECT_EQ(r.ShiftBoundary(3), 0);
        EXPECT_TRUE(r.HeatEnabled());
        EXPECT_EQ(r.GasFraction(10).value != 0.0f, version >= 1003);
        EXPECT_EQ(r.UserMedium(5).density.value != 0.0f, version >= 1004);
        EXPECT_EQ(r.FlowRange().value != 0.0f, version >= 1004);
    }
}

TEST(LookupTables, TextsForCodesAndEmptyOutsideTheTables) {
    EXPECT_EQ(kvr::FlowElementText(0), "法兰取压孔板  ");
    EXPECT_EQ(kvr::FlowElementText(2), "D和D/2取压孔板");
    EXPECT_EQ(kvr::FlowElementText(3), "ISA1932喷嘴   ");
    EXPECT_EQ(kvr::FlowElementText(14), "弯 管         ");
    EXPECT_EQ(kvr::FlowElementText(16), "质量流量计    ");
    EXPECT_EQ(kvr::FlowElementText(17), "");
    EXPECT_EQ(kvr::MediumText(27), "用户介质");
    EXPECT_EQ(kvr::MediumText(28), "");
    EXPECT_EQ(kvr::MaterialText(17), "用户自定义");
    EXPECT_EQ(kvr::MaterialText(-1), "");
    EXPECT_EQ(kvr::SignalTypeText(6), "T");
    EXPECT_EQ(kvr::BreakHandlingText(3), "保  持");
    EXPECT_EQ(kvr::InputModeText(2), "设定  ");
    // The rate and total unit lists are in different orders.
    EXPECT_EQ(kvr::FlowUnitText(3), "m3/h");
    EXPECT_EQ(kvr::FlowTotalUnitText(3), "kNm3");
    EXPECT_EQ(kvr::FlowUnitText(6), "");
    EXPECT_EQ(kvr::HeatUnitText(3), "kWh");
    EXPECT_EQ(kvr::HeatTotalUnitText(4), "");
    EXPECT_EQ(kvr::ParityText(2), "偶校验");
    EXPECT_EQ(kvr::ByteOrderText(4), "4-3-2-1");
    EXPECT_EQ(kvr::ByteOrderText(5), "");
    EXPECT_EQ(kvr::SquareRootText(7), "差变开方");
    EXPECT_EQ(kvr::HeatDirectionText(0), "热量");
    EXPECT_EQ(kvr::HeatMethodText(1), "平均比热容");
    EXPECT_EQ(kvr::KFactorUnitText(1), "次/L");
    EXPECT_EQ(kvr::RecordIntervalSeconds(4), 1200);
    EXPECT_EQ(kvr::BaudRate(0), 1200);
    EXPECT_EQ(kvr::OperationText(6), "清除余量");
    EXPECT_EQ(kvr::OperationText(7), "");
    EXPECT_EQ(kvr::GasText(11), "乙烷C2H6");
}

TEST(LookupTables, TheLowestAlarmBitDecides) {
    const struct {
        int bits;
        const char* text;
    } cases[] = {{0, "无"},      {1, "下下限"},  {2, "下限"},      {4, "上限"}, {8, "上上限"},
                 {0x0C, "上限"}, {0x06, "下限"}, {0x0F, "下下限"}, {0xF0, "无"}};
    for (const auto& c : cases)
        EXPECT_EQ(kvr::AlarmKindText(kvr::AlarmKindFromBits(c.bits)), c.text) << c.bits;
}

// Event logs -----------------------------------------------------------------------------

void PutStamp(Image& image, std::size_t offset, const kvr::Stamp& stamp) {
    std::memcpy(image.data() + offset, stamp.data(), 6);
}

TEST(EventLog, RingOrderFromTheStartIndexOnlyWhenFull) {
    const std::vector<int> full = kvr::LogSlots(10, 50);
    ASSERT_EQ(full.size(), 50u);
    EXPECT_EQ(full.front(), 10);
    EXPECT_EQ(full[39], 49);
    EXPECT_EQ(full[40], 0);
    EXPECT_EQ(full.back(), 9);
    EXPECT_EQ(kvr::LogSlots(10, 3), (std::vector<int>{0, 1, 2}))
        << "a partly filled ring starts at 0";
    EXPECT_TRUE(kvr::LogSlots(0, 51).empty());
    EXPECT_TRUE(kvr::LogSlots(0, 0).empty());
    EXPECT_EQ(kvr::LogSlots(60, 50).front(), 10) << "a damaged start index stays in the ring";
    const std::vector<int> stored = kvr::LogSlots(10, 50, 30);
    ASSERT_EQ(stored.size(), 30u);
    EXPECT_EQ(stored.front(), 10);
    EXPECT_EQ(stored[19], 29);
    EXPECT_EQ(stored[20], 0);
}

TEST(EventLog, AlarmEntriesDecode) {
    Image image = Blank();
    PutWord(image, 0x970, 0);
    PutWord(image, 0x972, 3);
    const kvr::Stamp raised{26, 1, 4, 22, 10, 5}, cleared{26, 1, 4, 23, 0, 0};
    const struct {
        int channel, bits, active;
    } entries[] = {{2, 0x0C, 0}, {0, 0x00, 0}, {1, 0x06, 1}};
    for (int i = 0; i < 3; ++i) {
        const std::size_t at = 0x980 + 16 * static_cast<std::size_t>(i);
        PutStamp(image, at, raised);
        PutStamp(image, at + 6, i == 1 ? kvr::Stamp{26, 13, 1, 0, 0, 0} : cleared);
        image[at + 12] = static_cast<std::uint8_t>(entries[i].channel);
        image[at + 13] = static_cast<std::uint8_t>(entries[i].bits);
        image[at + 14] = static_cast<std::uint8_t>(entries[i].active);
    }
    const std::vector<kvr::AlarmEntry> log =
        kvr::ReadAlarmLog(kvr::ConfigRecord(image.data(), image.size(), 1004));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].channel, 2);
    EXPECT_EQ(log[0].kind, kvr::AlarmKind::kHigh);
    EXPECT_EQ(log[0].raised.time, kvr::StampToTime(raised));
    EXPECT_TRUE(log[0].cleared.valid);
    EXPECT_FALSE(log[0].active);
    EXPECT_EQ(log[1].kind, kvr::AlarmKind::kNone);
    EXPECT_FALSE(log[1].cleared.valid) << "month 13";
    EXPECT_EQ(log[1].cleared.time, 0);
    EXPECT_EQ(log[1].cleared.stamp[1], 13);
    EXPECT_EQ(log[2].kind, kvr::AlarmKind::kLow);
    EXPECT_TRUE(log[2].active);

    PutWord(image, 0x972, 51);
    EXPECT_TRUE(kvr::ReadAlarmLog(kvr::ConfigRecord(image.data(), image.size(), 1004)).empty());
}

TEST(EventLog, PowerFailuresWithTotals) {
    Image image = Blank();
    PutWord(image, 0x630, 10);
    PutWord(image, 0x632, 50);
    PutWord(image, 0x634, -2);  // a damaged signed total stays signed
    const std::uint32_t seconds = 86400 + 3600 + 60 + 1;
    std::memcpy(image.data() + 0x638, &seconds, 4);
    for (int slot = 0; slot < 50; ++slot) {
        const std::size_t at = 0x64E + 16 * static_cast<std::size_t>(slot);
        PutStamp(image, at, {25, 12, static_cast<std::uint8_t>(1 + slot % 28), 3, 0, 0});
        PutStamp(image, at + 6,
                 {25, 12, static_cast<std::uint8_t>(1 + slot % 28), 4,
                  static_cast<std::uint8_t>(slot), 0});
    }
    const kvr::PowerFailureLog log =
        kvr::ReadPowerFailureLog(kvr::ConfigRecord(image.data(), image.size(), 1002));
    ASSERT_TRUE(log.valid);
    EXPECT_EQ(log.totalCount, -2);
    EXPECT_EQ(log.totalSeconds, seconds);
    ASSERT_EQ(log.entries.size(), 50u);
    EXPECT_EQ(log.entries.front().index, 10);
    EXPECT_EQ(log.entries.front().powerOn.stamp[4], 10);
    EXPECT_EQ(log.entries.back().index, 9);
    EXPECT_EQ(log.entries.back().powerOff.time, kvr::MakeTime({2025, 12, 10, 3, 0, 0}));

    PutWord(image, 0x632, 60);
    const kvr::PowerFailureLog damaged =
        kvr::ReadPowerFailureLog(kvr::ConfigRecord(image.data(), image.size(), 1002));
    EXPECT_FALSE(damaged.valid);
    EXPECT_TRUE(damaged.entries.empty());
}

TEST(EventLog, OperationsKeepOnlyWhatTheVersionStores) {
    Image image = Blank();
    PutWord(image, 0xCA0, 45);
    PutWord(image, 0xCA2, 50);
    for (int slot = 0; slot < 50; ++slot) {
        const std::size_t at = 0xCB0 + 16 * static_cast<std::size_t>(slot);
        PutStamp(image, at, {26, 1, 1, 0, static_cast<std::uint8_t>(slot), 0});
        PutWord(image, at + 6, slot % 9);
    }
    const struct {
        int version;
        std::size_t size, entries;
        int first;
    } cases[] = {{1002, 3728, 30, 0}, {1003, 3888, 40, 0}, {1004, 4048, 50, 45}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.version);
        const auto log = kvr::ReadOperationLog(kvr::ConfigRecord(image.data(), c.size, c.version));
        ASSERT_EQ(log.size(), c.entries);
        EXPECT_EQ(log.front().index, c.first);
        for (const kvr::OperationEntry& e : log) {
            EXPECT_EQ(e.code, e.index % 9);
            EXPECT_EQ(e.text, kvr::OperationText(e.code));
            EXPECT_EQ(e.stamp.stamp[4], e.index);
        }
    }
    const auto log = kvr::ReadOperationLog(kvr::ConfigRecord(image.data(), image.size(), 1004));
    EXPECT_EQ(log[0].text, "修改组态参数");  // slot 45, code 0
    EXPECT_EQ(log[12].code, 7);              // slot 7
    EXPECT_EQ(log[12].text, "");
}

TEST(EventLog, SampleFilesCarryAllThreeLogs) {
    kvrtest::TempDir dir;
    kvr::CXFile file;
    ASSERT_EQ(file.Open(kvrtest::WriteSample(dir, "logs.FDZ")), 1);
    const kvr::ConfigRecord r(file);
    const kvr::PowerFailureLog power = kvr::ReadPowerFailureLog(r);
    EXPECT_TRUE(power.valid);
    EXPECT_GT(power.entries.size(), 0u);
    EXPECT_LT(power.entries.size(), 50u);
    EXPECT_GE(power.totalCount, static_cast<int>(power.entries.size()));
    const auto alarms = kvr::ReadAlarmLog(r);
    ASSERT_EQ(alarms.size(), 50u) << "the alarm ring has wrapped";
    EXPECT_NE(alarms.front().index, 0);
    for (std::size_t i = 1; i < alarms.size(); ++i)
        EXPECT_LE(alarms[i - 1].raised.time, alarms[i].raised.time);
    EXPECT_TRUE(alarms.back().active);
    const auto operations = kvr::ReadOperationLog(r);
    EXPECT_GT(operations.size(), 0u);
    EXPECT_LT(operations.size(), 30u);
    for (const auto& e : operations) {
        EXPECT_TRUE(e.stamp.valid);
        EXPECT_LT(e.stamp.time, file.GetStartTime());
    }
}

}  // namespace
