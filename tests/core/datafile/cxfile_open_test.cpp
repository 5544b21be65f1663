// Opening data files: versions, identification, derived channel descriptors, refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "core/datafile/cxfile.h"
#include "core/datafile/gbk.h"
#include "core/datafile/layout.h"
#include "datafile_test_util.h"

namespace {

using kvrtest::Peek;
using kvrtest::Poke;

class CXFileOpen : public ::testing::Test {
protected:
    std::string Sample(const kvr::SampleOptions& options = {}) {
        return kvrtest::WriteSample(dir, "sample.FDZ", options);
    }
    // Opens a copy of a sample whose bytes were changed by edit.
    template <typename Edit>
    int OpenEdited(const kvr::SampleOptions& options, Edit edit, kvr::CXFile& file) {
        std::vector<std::uint8_t> bytes = kvrtest::ReadBytes(Sample(options));
        edit(bytes);
        const std::string path = dir.file("edited.FDZ");
        kvrtest::WriteBytes(path, bytes);
        return file.Open(path);
    }
    kvrtest::TempDir dir;
};

TEST_F(CXFileOpen, DetectsVersionAndConfigurationSize) {
    const struct {
        int version;
        int configSize;
        const char* identification;
    } cases[] = {{1002, 3728, "QZK2TW1005KVR1002"},
                 {1003, 3888, "QZK2TW1009KVR1003"},
                 {1004, 4048, "QZK2TW1010KVR1004"}};
    for (const auto& c : cases) {
        kvr::SampleOptions options;
        options.version = c.version;
        kvr::CXFile file;
        ASSERT_EQ(file.Open(Sample(options)), 1) << c.version;
        EXPECT_EQ(file.GetVersion(), c.version);
        EXPECT_EQ(file.GetConfigSize(), c.configSize);
        EXPECT_STREQ(file.Header().identification, c.identification);
        // The record area begins right after the configuration block and the trailer.
        EXPECT_EQ(file.MappedSize(), 0x150u + c.configSize + 6 * 4 * 1440 + 8 * 24 + 4 * 3);
    }
}

TEST_F(CXFileOpen, VersionDigitsDecideAndTheFamilyCheckSkipsCharacterThree) {
    kvr::SampleOptions v1002;
    v1002.version = 1002;
    const struct {
        const char* what;
        std::size_t at;
        const char* text;
        int expected;
        int version;
    } cases[] = {
        {"newer version", 13, "1005", 2, 1005},
        {"much newer version", 13, "9999", 2, 9999},
        {"digits missing", 13, "KVR?", 1, 1002},
        {"no magic at all", 10, "\0\0\0\0\0\0\0", 1, 1002},
        {"character 3 is free", 3, "#", 1, 1002},
        {"character 0", 0, "X", 0, 1002},
        {"character 1", 1, "X", 0, 1002},
        {"character 2", 2, "X", 0, 1002},
        {"character 4", 4, "X", 0, 1002},
    };
    for (const auto& c : cases) {
        kvr::CXFile file;
        const std::size_t length = c.at == 10 ? 7 : std::strlen(c.text);
        const int result = OpenEdited(
            v1002,
            [&](std::vector<std::uint8_t>& b) { std::memcpy(b.data() + c.at, c.text, length); },
            file);
        EXPECT_EQ(result, c.expected) << c.what;
        EXPECT_EQ(file.GetVersion(), c.version) << c.what;
    }
}

TEST_F(CXFileOpen, RefusesWhatCannotBeRead) {
    kvr::CXFile file;
    EXPECT_EQ(file.Open(""), 0);
    EXPECT_EQ(file.Open(dir.file("missing.FDZ")), 0);
    EXPECT_EQ(file.Open(dir.path()), 0);  // a folder

    const kvr::SampleOptions options;
    const struct {
        const char* what;
        void (*edit)(std::vector<std::uint8_t>&);
    } damaged[] = {
        {"interval 0",
         [](std::vector<std::uint8_t>& b) { Poke<std::uint16_t>(b, 0x40 + 0x3D, 0); }},
        {"end before start", [](std::vector<std::uint8_t>& b) { b[0xC0 + 6] = 25; }},
        {"sample size 0", [](std::vector<std::uint8_t>& b) { b[0xC0 + 0x18] = 0; }},
        {"sample size 200", [](std::vector<std::uint8_t>& b) { b[0xC0 + 0x18] = 200; }},
        {"shorter than its header", [](std::vector<std::uint8_t>& b) { b.resize(0x14F); }},
        {"shorter than its trailer",
         [](std::vector<std::uint8_t>& b) { b.resize(0x150 + 4048 - 1); }},
        {"empty", [](std::vector<std::uint8_t>& b) { b.clear(); }},
    };
    for (const auto& d : damaged) {
        kvr::CXFile damagedFile;
        EXPECT_EQ(OpenEdited(options, d.edit, damagedFile), 0) << d.what;
        EXPECT_FALSE(damagedFile.IsOpen()) << d.what;
        float value = -1.0f;
        EXPECT_EQ(damagedFile.GetValue(0, options.start, &value, nullptr), 1)
            << "closed files answer neutrally";
        EXPECT_EQ(value, -1.0f);
    }
}

// An interrupted copy or a disk error cuts a file short; what is whole is still worth reading.
TEST_F(CXFileOpen, AFileCutShortOpensReadOnlyWithWhatIsWhole) {
    kvr::SampleOptions options;
    options.records = 20;  // one hour
    options.tags = 2;
    options.sample = kvr::RampSample;
    const std::vector<std::uint8_t> whole = kvrtest::ReadBytes(Sample(options));
    const std::size_t hourly = 0x150 + 4048 + 20 * 6 * 4;
    const struct {
        const char* what;
        std::size_t size;
        std::uint32_t capacity;
        int wholeRecords, hours, tags;
    } cases[] = {
        {"cut inside the last record", hourly - 5, 20, 19, 0, 0},
        {"cut inside the hourly table", hourly + 4, 20, 20, 0, 0},
        {"cut inside the tag list", hourly + 8 + 6, 20, 20, 1, 1},
        {"a capacity past the end", whole.size(), 0xFFFFFFFF, 20, 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes(whole.begin(), whole.begin() + c.size);
        Poke<std::uint32_t>(bytes, 0xC0 + 0x14, c.capacity);
        const std::string path = dir.file("cut.FDZ");
        kvrtest::WriteBytes(path, bytes);
        {
            kvr::CXFile file;
            ASSERT_EQ(file.Open(path), 1) << c.what;
            EXPECT_TRUE(file.IsDamaged() && file.IsReadOnly()) << c.what;
            EXPECT_EQ(file.GetRecordCount(), 20) << c.what;
            EXPECT_EQ(file.GetWholeRecords(), c.wholeRecords) << c.what;
            const kvr::Time last = file.GetEndTime();
            EXPECT_EQ(file.GetSpanEndTime(), last) << c.what;
            // A record cut short is missing as a whole, though its first samples are there.
            float value = -1.0f;
            EXPECT_EQ(file.GetValue(0, last, &value, nullptr), c.wholeRecords == 20 ? 1 : 0)
                << c.what;
            EXPECT_EQ(value, c.wholeRecords == 20 ? 19.0f : -1.0f) << c.what;
            ASSERT_EQ(file.GetValue(5, last - 60, &value, nullptr), 1) << c.what;
            EXPECT_EQ(value, 5018.0f) << c.what;
            double total = 0;
            EXPECT_EQ(file.GetHourTotal(0, file.Header().hourly.first, &total), c.hours) << c.what;
            EXPECT_EQ(file.GetTagCount(), c.tags) << c.what;
            // Every edit is refused and says why.
            EXPECT_STREQ(file.EditRefusal(), kvr::kFileDamagedEditText) << c.what;
            EXPECT_EQ(file.AddTag(file.GetStartTime()), 0) << c.what;
            EXPECT_EQ(file.DeleteTag(0), 0) << c.what;
            EXPECT_EQ(file.FlushHeader(), 0) << c.what;
        }
        EXPECT_EQ(kvrtest::ReadBytes(path), bytes) << c.what;
    }
}

// Where the clock goes back, an end stamp in the repeated hour names two moments: the one
// the records agree with is meant, on either pass through the hour.
TEST_F(CXFileOpen, AnEndInARepeatedHourKeepsEveryRecord) {
    const kvrtest::ZoneGuard zone("America/New_York");
    kvr::SampleOptions options;
    options.start = kvr::MakeTime({2026, 11, 1, 0, 0, 0});
    options.sample = kvr::RampSample;
    for (const int records : {150, 90}) {  // ending at 01:29 standard time, and summer time
        options.records = records;
        kvr::CXFile file;
        ASSERT_EQ(file.Open(Sample(options)), 1) << records;
        EXPECT_EQ(file.GetRecordCount(), records);
        EXPECT_EQ(file.GetEndTime(), options.start + (records - 1) * 60);
        // The hourly table holds the repeated hour twice, and ends with the last record's.
        const kvr::SegmentDescriptor& hourly = file.Header().hourly;
        EXPECT_EQ(hourly.count, records == 150 ? 3u : 2u);
        EXPECT_EQ(hourly.last, hourly.first + (hourly.count - 1) * 3600);
        float value = 0;
        ASSERT_EQ(file.GetValue(0, file.GetEndTime(), &value, nullptr), 1);
        EXPECT_EQ(value, static_cast<float>(records - 1));
    }
}

TEST_F(CXFileOpen, DerivesEveryChannelDescriptorField) {
    kvr::CXFile file;
    ASSERT_EQ(file.Open(Sample()), 1);
    const kvr::FileHeader& h = file.Header();
    EXPECT_EQ(file.GetDeviceName(), "1#锅炉蒸汽总管");
    EXPECT_EQ(file.GetAddress(), 1);
    EXPECT_EQ(file.GetChannelCount(), 6);
    EXPECT_EQ(file.GetInterval(), 60);
    EXPECT_EQ(file.GetRecordCount(), 1440);
    EXPECT_EQ(file.GetStartTime(), kvr::MakeTime({2026, 1, 5}));
    EXPECT_EQ(file.GetEndTime(), kvr::MakeTime({2026, 1, 5, 23, 59, 0}));
    EXPECT_EQ(h.scientific, 0);
    EXPECT_EQ(h.pieGridCount, 10);

    const struct {
        const char* name;
        const char* unit;
        float low, high, lowLow, highHigh, alarmLow, alarmHigh, hysteresis;
        std::uint32_t color;
        const char* format;
    } expected[] = {
        {"PDT101差压", "kPa", 0, 40, 1, 38, 2, 35, 0.5f, 0x0000FF, "%.2f"},
        {"PT101压力", "MPa", 0, 1.6f, 0.4f, 1.45f, 0.6f, 1.3f, 0.02f, 0x00C000, "%.3f"},
        {"TT101温度", "℃", 0, 400, 180, 330, 200, 300, 2, 0xFF0000, "%.1f"},
        {"流量", "t/h", 0, 20, 0, 30000, 0, 30000, 0, 0xFF00FF, "%.2f"},
        {"流量", "t/h", 0, 20, 0, 30000, 0, 30000, 0, 0xC0C000, "%.2f"},
        {"热量", "GJ", 0, 60, 0, 30000, 0, 30000, 0, 0x00C0C0, "%.2f"},
    };
    for (int c = 0; c < 6; ++c) {
        const auto& e = expected[c];
        SCOPED_TRACE(c);
        EXPECT_EQ(file.GetChannelName(c), e.name);
        EXPECT_EQ(file.GetChannelUnit(c), e.unit);
        EXPECT_FLOAT_EQ(file.GetRangeLow(c), e.low);
        EXPECT_FLOAT_EQ(file.GetRangeHigh(c), e.high);
        EXPECT_FLOAT_EQ(file.GetAlarmLowLow(c), e.lowLow);
        EXPECT_FLOAT_EQ(file.GetAlarmHighHigh(c), e.highHigh);
        EXPECT_FLOAT_EQ(file.GetAlarmLow(c), e.alarmLow);
        EXPECT_FLOAT_EQ(file.GetAlarmHigh(c), e.alarmHigh);
        EXPECT_FLOAT_EQ(file.GetHysteresis(c), e.hysteresis);
        EXPECT_EQ(file.GetValueFormat(c), e.format);
        EXPECT_EQ(h.channels[c].color, e.color);
        EXPECT_EQ(h.channels[c].showState, 1);
        EXPECT_EQ(h.channels[c].lineWidth, 1);
        EXPECT_EQ(h.channels[c].signalType, 0);
        EXPECT_EQ(h.channels[c].text3[0], 0);
    }
    EXPECT_NE(h.flowTotal, 0);
    EXPECT_NE(h.heatTotal, 0);
    EXPECT_EQ(file.GetBaseTotal(0), 0);
    EXPECT_EQ(file.GetBaseTotal(3), h.flowTotal);
    EXPECT_EQ(file.GetBaseTotal(4), 0);
    EXPECT_EQ(file.GetBaseTotal(5), h.heatTotal);
    // The range triples carry the configuration's decimals.
    EXPECT_EQ(h.channels[1].rangeHigh.mantissa, 1600);
    EXPECT_EQ(h.channels[1].rangeHigh.decimals, 3);
    EXPECT_EQ(h.channels[5].alarmHighHigh.mantissa, 30000);

    // Channels beyond the count answer neutrally.
    char format[16] = "unchanged";
    EXPECT_EQ(file.GetValueFormat(6, format), 0);
    EXPECT_STREQ(format, "unchanged");
    EXPECT_EQ(file.GetChannelName(6), "");
    EXPECT_EQ(file.GetChannelUnit(-1), "");
    EXPECT_EQ(file.GetRangeHigh(6), 0.0f);
    EXPECT_EQ(file.GetAlarmHighHigh(6), 0.0f);
    EXPECT_EQ(file.GetBaseTotal(6), 0);
    float value = 0;
    EXPECT_EQ(file.GetValue(6, file.GetStartTime(), &value, nullptr), 0);
}

TEST_F(CXFileOpen, DisplaySettingsAndTheXModeCopy) {
    kvr::SampleOptions options;
    options.xMode = 0;
    options.yMode = 1;
    options.yLow = -5.5f;
    options.yHigh = 250.0f;
    options.gridVertical = 7;
    options.gridHorizontal = 300;
    options.gridColor = 0x00123456;
    options.backgroundColor = 0x00FFFFFF;
    options.showGrid = 0;
    kvr::CXFile file;
    // The copy at 0x3C wins when the two modes differ.
    ASSERT_EQ(OpenEdited(
                  options, [](std::vector<std::uint8_t>& b) { b[0x40 + 0x3C] = 1; }, file),
              1);
    const kvr::FileHeader& h = file.Header();
    EXPECT_EQ(h.xMode, 1);
    EXPECT_EQ(h.yMode, 1);
    EXPECT_FLOAT_EQ(h.yLow, -5.5f);
    EXPECT_FLOAT_EQ(h.yHigh, 250.0f);
    EXPECT_EQ(h.gridCount1, 7);
    EXPECT_EQ(h.gridCount2, 300);
    EXPECT_EQ(h.gridColor, 0x00123456u);
    EXPECT_EQ(h.backgroundColor, 0x00FFFFFFu);
    EXPECT_EQ(h.showGrid, 0);
}

TEST_F(CXFileOpen, OlderVersionsHaveNoFlowOrHeatRange) {
    kvr::SampleOptions options;
    options.version = 1003;
    kvr::CXFile file;
    ASSERT_EQ(file.Open(Sample(options)), 1);
    EXPECT_FLOAT_EQ(file.GetRangeHigh(3), 0.0f);
    EXPECT_FLOAT_EQ(file.GetRangeHigh(5), 0.0f);
    EXPECT_FLOAT_EQ(file.GetRangeHigh(1), 1.6f);
}

TEST_F(CXFileOpen, WritesNamesBackCutAtCharacterBoundaries) {
    const std::string path = Sample();
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        kvr::FileHeader& h = file.Header();
        // 30 GBK bytes: the name must end before 0x1D, so 28 bytes remain.
        kvr::WriteGbkField(h.deviceName, sizeof h.deviceName, "一二三四五六七八九十一二三四五", 31);
        // 16 GBK bytes for a field of 15 characters.
        kvr::WriteGbkField(h.channels[2].name, sizeof h.channels[2].name, "温度温度温度温度", 31);
        kvr::WriteGbkField(h.channels[0].unit, sizeof h.channels[0].unit, "Pa", 15);
        h.channels[4].color = 0x00010203;
        h.yHigh = 42.0f;
        ASSERT_EQ(file.FlushHeader(), 1);
    }
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    EXPECT_EQ(file.GetDeviceName(), "一二三四五六七八九十一二三四");
    EXPECT_EQ(file.Header().config[0x1D], 0) << "the record interval code must survive";
    EXPECT_EQ(file.GetChannelName(2), "温度温度温度温");
    EXPECT_EQ(file.GetChannelUnit(0), "kPa") << "units are not written back";
    EXPECT_EQ(file.Header().channels[4].color, 0x00010203u);
    EXPECT_FLOAT_EQ(file.Header().yHigh, 42.0f);
    EXPECT_EQ(file.GetRecordCount(), 1440);
}

}  // namespace
