// The sample generator: deterministic, complete and plausible.
#include <gtest/gtest.h>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "datafile_test_util.h"

namespace {

TEST(SampleFile, SameSeedSameBytesOtherSeedOtherCurves) {
    kvr::SampleOptions options;
    options.records = 300;
    const std::vector<std::uint8_t> first = kvr::BuildSampleImage(options);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(kvr::BuildSampleImage(options), first);
    options.seed = 2;
    const std::vector<std::uint8_t> other = kvr::BuildSampleImage(options);
    ASSERT_EQ(other.size(), first.size());
    EXPECT_NE(other, first);
    // The header before the logs is the same; only the instrument's history and the curves differ.
    EXPECT_TRUE(std::equal(first.begin(), first.begin() + 0x140 + 0x630, other.begin()));
}

TEST(SampleFile, CurvesStayPlausibleWithAFewAlarmExcursions) {
    kvrtest::TempDir dir;
    kvr::CXFile file;
    ASSERT_EQ(file.Open(kvrtest::WriteSample(dir, "plausible.FDZ")), 1);
    int beyondAlarm = 0;
    for (int c = 0; c < 6; ++c) {
        SCOPED_TRACE(c);
        float low = 1e30f, high = -1e30f;
        for (int r = 0; r < file.GetRecordCount(); ++r) {
            float value = 0;
            ASSERT_EQ(file.GetValue(c, file.GetStartTime() + r * 60, &value, nullptr), 1);
            low = std::min(low, value);
            high = std::max(high, value);
            if (c < 3 && (value > file.GetAlarmHigh(c) || value < file.GetAlarmLow(c)))
                ++beyondAlarm;
        }
        EXPECT_GE(low, file.GetRangeLow(c));
        EXPECT_LE(high, file.GetRangeHigh(c));
        EXPECT_GT(high - low, 0.001f * (file.GetRangeHigh(c) - file.GetRangeLow(c)))
            << "not a flat line";
    }
    EXPECT_GT(beyondAlarm, 0);
    EXPECT_LT(beyondAlarm, file.GetRecordCount() / 5);
}

TEST(SampleFile, HourlyTableCoversTheRecordingAndTotalsAreSet) {
    kvr::SampleOptions options;
    options.start = kvr::MakeTime({2026, 1, 5, 7, 30, 0});
    options.records = 180;  // 07:30 .. 10:29
    kvrtest::TempDir dir;
    kvr::CXFile file;
    ASSERT_EQ(file.Open(kvrtest::WriteSample(dir, "hours.FDZ", options)), 1);
    const kvr::SegmentDescriptor& hourly = file.Header().hourly;
    EXPECT_EQ(hourly.first, kvr::MakeTime({2026, 1, 5, 7}));
    EXPECT_EQ(hourly.last, kvr::MakeTime({2026, 1, 5, 10}));
    EXPECT_EQ(hourly.count, 4u);
    double full = 0, half = 0;
    ASSERT_EQ(file.GetHourTotal(0, hourly.first, &half), 1);
    ASSERT_EQ(file.GetHourTotal(0, hourly.first + 3600, &full), 1);
    EXPECT_GT(full, 1.5 * half) << "the first hour holds half an hour of flow";
    EXPECT_GT(full, 100.0 * 5) << "more than 5 t/h in hundredths";
    EXPECT_GT(file.Header().flowTotal, 0);
    EXPECT_GT(file.Header().heatTotal, 0);
}

TEST(SampleFile, RefusesOptionsOutOfRange) {
    const struct {
        const char* what;
        void (*edit)(kvr::SampleOptions&);
    } cases[] = {
        {"no records", [](kvr::SampleOptions& o) { o.records = 0; }},
        {"interval 0", [](kvr::SampleOptions& o) { o.interval = 0; }},
        {"interval too long", [](kvr::SampleOptions& o) { o.interval = 70000; }},
        {"version", [](kvr::SampleOptions& o) { o.version = 1005; }},
        {"tags", [](kvr::SampleOptions& o) { o.tags = 256; }},
        {"before 2000",
         [](kvr::SampleOptions& o) {
             o.start = kvr::MakeTime({1999, 12, 31});
         }},
    };
    for (const auto& c : cases) {
        kvr::SampleOptions options;
        c.edit(options);
        std::string error;
        EXPECT_TRUE(kvr::BuildSampleImage(options, &error).empty()) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
    kvrtest::TempDir dir;
    std::string error;
    EXPECT_FALSE(kvr::WriteSampleFile(dir.file("missing/x.FDZ"), {}, &error));
    EXPECT_NE(error.find("missing/x.FDZ"), std::string::npos) << error;
}

}  // namespace
