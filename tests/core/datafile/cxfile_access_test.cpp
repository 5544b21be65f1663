// Reading an open data file: values, percent, formats, positions, search, hourly totals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "core/datafile/cxfile.h"
#include "datafile_test_util.h"

namespace {

constexpr int kInterval = 60;

class CXFileAccess : public ::testing::Test {
protected:
    // A ramp file: channel c at record r holds c * 1000 + r.
    kvr::SampleOptions Ramp(int records) {
        kvr::SampleOptions options;
        options.records = records;
        options.interval = kInterval;
        options.sample = kvr::RampSample;
        return options;
    }
    void OpenSample(const kvr::SampleOptions& options) {
        ASSERT_EQ(file.Open(kvrtest::WriteSample(dir, "access.FDZ", options)), 1);
    }
    kvr::Time At(int record, int offset = 0) const {
        return file.GetStartTime() + static_cast<kvr::Time>(record) * kInterval + offset;
    }
    float Value(int c, kvr::Time t) {
        float value = std::numeric_limits<float>::quiet_NaN();
        EXPECT_EQ(file.GetValue(c, t, &value, nullptr), 1);
        return value;
    }
    kvrtest::TempDir dir;
    kvr::CXFile file;
};

TEST_F(CXFileAccess, ValueTimesMapToRecords) {
    OpenSample(Ramp(60));
    EXPECT_EQ(file.GetEndTime(), At(59));
    EXPECT_EQ(file.GetRecordCount(), 60);
    EXPECT_EQ(Value(2, At(0)), 2000.0f);
    EXPECT_EQ(Value(2, At(0, 59)), 2000.0f) << "10:00:59 still reads record 0";
    EXPECT_EQ(Value(5, At(37, 1)), 5037.0f);
    EXPECT_EQ(Value(0, At(59)), 59.0f);
    float value = -1.0f;
    EXPECT_EQ(file.GetValue(0, At(59, 1), &value, nullptr), 0) << "after the end";
    EXPECT_EQ(file.GetValue(0, At(0, -1), &value, nullptr), 0) << "before the start";
    EXPECT_EQ(value, -1.0f);
}

// The fast path against a plain read of the record area, at and between record times.
TEST_F(CXFileAccess, EverySampleMatchesTheRecordArea) {
    kvr::SampleOptions options;
    options.records = 200;
    OpenSample(options);
    const std::uint8_t* bytes = file.MappedData();
    const std::size_t area = 0x150 + static_cast<std::size_t>(file.GetConfigSize());
    for (int r = 0; r < 200; ++r) {
        for (int c = 0; c < 6; ++c) {
            float stored;
            std::memcpy(&stored, bytes + area + (static_cast<std::size_t>(r) * 6 + c) * 4, 4);
            ASSERT_EQ(Value(c, At(r, r < 199 ? r % kInterval : 0)), stored) << c << '/' << r;
        }
    }
}

TEST_F(CXFileAccess, RecordsBeyondTheCapacityHaveNoSample) {
    kvr::SampleOptions options = Ramp(15);
    options.capacity = 10;
    OpenSample(options);
    EXPECT_EQ(file.GetRecordCount(), 15);
    EXPECT_EQ(Value(1, At(9)), 1009.0f);
    float value = -1.0f;
    for (int r = 10; r < 15; ++r) EXPECT_EQ(file.GetValue(1, At(r), &value, nullptr), 0) << r;
    EXPECT_EQ(value, -1.0f);
}

// End stamps far past what the file holds (a damaged or hostile header): export, statistics
// and the report end at the last record, and the last hour, that the file can hold.
TEST_F(CXFileAccess, SpanEndsAtTheLastRecordAndHourTheFileCanHold) {
    OpenSample(Ramp(120));
    EXPECT_EQ(file.GetSpanEndTime(), At(119)) << "an ordinary file ends where it says";
    const kvr::Time lastHour = file.Header().hourly.last;
    EXPECT_EQ(file.GetHourSpanEnd(), lastHour);

    std::vector<std::uint8_t> bytes = kvr::BuildSampleImage(Ramp(120));
    const std::uint8_t year2099[6] = {99, 12, 31, 23, 0, 0};
    std::memcpy(bytes.data() + 0xC0 + 6, year2099, 6);
    std::memcpy(bytes.data() + 0x100 + 6, year2099, 6);
    const std::string path = dir.file("2099.FDZ");
    kvrtest::WriteBytes(path, bytes);
    ASSERT_EQ(file.Open(path), 1);
    EXPECT_GT(file.GetEndTime(), At(30000000));
    EXPECT_EQ(file.GetSpanEndTime(), At(119));
    EXPECT_EQ(file.GetHourSpanEnd(), lastHour);
}

TEST_F(CXFileAccess, PercentIsClampedToTheRange) {
    // Channel 0 ranges 0..40 kPa.
    const float samples[] = {-5.0f, 20.0f, 50.0f, 40.0f, 0.0f, 10.0f};
    kvr::SampleOptions options = Ramp(6);
    options.sample = [&](int c, int r) { return c == 0 ? samples[r] : kvr::RampSample(c, r); };
    OpenSample(options);
    const float expected[] = {0.0f, 50.0f, 100.0f, 100.0f, 0.0f, 25.0f};
    for (int r = 0; r < 6; ++r) {
        float value = 0.0f, percent = -1.0f;
        ASSERT_EQ(file.GetValue(0, At(r), &value, &percent), 1);
        EXPECT_EQ(value, samples[r]) << "the raw sample, never the clamped one";
        EXPECT_FLOAT_EQ(percent, expected[r]) << r;
    }
    float percent = -1.0f;
    ASSERT_EQ(file.GetValue(0, At(2), nullptr, &percent), 1);
    EXPECT_FLOAT_EQ(percent, 100.0f);
}

// One row per column of the signal-type table of the range and alarm getters.
TEST_F(CXFileAccess, RangeAlarmValueAndFormatRulesForEverySignalType) {
    OpenSample(Ramp(5));
    kvr::FileHeader& h = file.Header();
    auto triple = [](int mantissa, int decimals) {
        kvr::DecimalTriple t;
        t.mantissa = static_cast<std::int16_t>(mantissa);
        t.decimals = static_cast<std::uint8_t>(decimals);
        return t;
    };
    const struct {
        int type;
        float low, high, lowLow, highHigh, alarmLow, alarmHigh, hysteresis;
        bool valueWritten;
    } columns[] = {
        {0, -3.0f, 4000.0f, -5.0f, 65.535f, -2.0f, 40.0f, -0.1f, true},
        {80, -3.0f, 4000.0f, -5.0f, 65.535f, -2.0f, 40.0f, -0.1f, true},
        {1, 10.0f, 10.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, false},
        {2, 10.0f, 10.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, false},
        {81, 0.001f, 4000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, false},
        {82, 0.001f, 4000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, false},
        {5, 0.0f, 0.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, 1000.0f, false},
    };
    for (const auto& col : columns) {
        SCOPED_TRACE(col.type);
        for (int c : {1, 4}) {
            kvr::ChannelDescriptor& d = h.channels[c];
            d.signalType = static_cast<std::uint8_t>(col.type);
            d.rangeLow = triple(-30, 1);       // signed -3.0, exponent 1
            d.rangeHigh = triple(-25536, 1);   // unsigned 4000.0, exponent 1
            d.alarmLowLow = triple(-5000, 3);  // exponent 3 for the alarms
            d.alarmHighHigh = triple(-1, 3);   // unsigned 65.535
            d.alarmLow = triple(-2000, 3);
            d.alarmHigh = triple(-25536, 3);  // unsigned 40.0
            d.hysteresis = triple(-100, 3);
            EXPECT_FLOAT_EQ(file.GetRangeLow(c), col.low);
            EXPECT_FLOAT_EQ(file.GetRangeHigh(c), col.high);
            EXPECT_FLOAT_EQ(file.GetAlarmLowLow(c), col.lowLow);
            EXPECT_FLOAT_EQ(file.GetAlarmHighHigh(c), col.highHigh);
            EXPECT_FLOAT_EQ(file.GetAlarmLow(c), col.alarmLow);
            EXPECT_FLOAT_EQ(file.GetAlarmHigh(c), col.alarmHigh);
            EXPECT_FLOAT_EQ(file.GetHysteresis(c), col.hysteresis);

            float value = -1.0f, percent = -1.0f;
            EXPECT_EQ(file.GetValue(c, At(2), &value, &percent), 1);
            EXPECT_EQ(value, col.valueWritten ? kvr::RampSample(c, 2) : -1.0f);
            const float expectedPercent =
                col.valueWritten ? (std::min(c * 1000 + 2.0f, 4000.0f) + 3.0f) / 4003.0f * 100.0f
                                 : -1.0f;
            EXPECT_FLOAT_EQ(percent, expectedPercent);
        }
        // Linear formats take the range-low decimals on the inputs, 2 elsewhere; the others
        // follow the scientific-notation flag.
        h.scientific = 0;
        const bool linear = col.type == 0 || col.type == 80;
        EXPECT_EQ(file.GetValueFormat(1), linear ? "%.1f" : "%.2f");
        EXPECT_EQ(file.GetValueFormat(4), "%.2f");
        h.scientific = 1;
        EXPECT_EQ(file.GetValueFormat(1), linear ? "%.1f" : "%.1E");
        char format[16];
        EXPECT_EQ(file.GetValueFormat(1, format), 1);
        EXPECT_EQ(format, file.GetValueFormat(1));
    }
}

TEST(CXFileRing, AddAndDistanceStayInsideTheRing) {
    const struct {
        unsigned a, b, c, sum, distance;
    } cases[] = {
        {3, 4, 10, 7, 9}, {6, 4, 10, 0, 2},  {9, 9, 10, 8, 0},
        {0, 0, 10, 0, 0}, {10, 0, 10, 0, 0}, {0, 10, 10, 0, 0},
        {3, 7, 10, 0, 6}, {0, 0, 0, 0, 0},   {0xFFFFFFF0u, 0x20, 0xFFFFFFFFu, 0x11, 0xFFFFFFD0u},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(kvr::CXFile::RingAdd(c.a, c.b, c.c), c.sum) << c.a << '+' << c.b << " in " << c.c;
        EXPECT_EQ(kvr::CXFile::RingDistance(c.a, c.b, c.c), c.distance)
            << c.a << '-' << c.b << " in " << c.c;
    }
}

TEST_F(CXFileAccess, FindValueOnOneChannelInBothDirections) {
    OpenSample(Ramp(100));
    auto find = [&](float target, float tolerance, int channel, int direction, kvr::Time from) {
        kvr::FindRequest request;
        request.target = target;
        request.tolerance = tolerance;
        request.channel = channel;
        request.direction = direction;
        request.time = from;
        file.FindValue(&request);
        return request.time;
    };
    const kvr::Time start = file.GetStartTime(), end = file.GetEndTime();
    EXPECT_EQ(find(2005, 0, 3, 0, start), At(5));
    EXPECT_EQ(find(2005, 0, 3, 1, end), At(5));
    EXPECT_EQ(find(2005.5f, 0, 3, 0, start), 0) << "tolerance 0 matches exact values only";
    EXPECT_EQ(find(2005.5f, 0.5f, 3, 0, start), At(5));
    EXPECT_EQ(find(2005.5f, 0.5f, 3, 1, end), At(6));
    EXPECT_EQ(find(2005, 0, 3, 0, At(5)), At(5)) << "the starting time is tested first";
    EXPECT_EQ(find(2005, 0, 3, 0, At(6)), 0);
    EXPECT_EQ(find(2005, 0, 3, 7, At(9)), At(5)) << "any nonzero direction is backward";
    EXPECT_EQ(find(2005, 0, 3, 1, At(4)), 0);
    EXPECT_EQ(find(2005, 0, 3, 0, start - kInterval), 0)
        << "a start outside the file finds nothing";
    EXPECT_EQ(find(2005, 0, 2, 0, start), 0) << "channels count from 1";
    EXPECT_EQ(find(5, 0, 7, 0, start), 0) << "no such channel";
}

TEST_F(CXFileAccess, FindValueOnAllChannelsReportsTheFirstTimeInSearchDirection) {
    kvr::SampleOptions options = Ramp(20);
    options.sample = [](int c, int r) {
        if ((c == 4 && r == 3) || (c == 1 && r == 8) || (c == 0 && r == 8)) return 7.0f;
        return 100.0f + static_cast<float>(c * 1000 + r);
    };
    OpenSample(options);
    kvr::FindRequest request;
    request.target = 7.0f;
    request.time = file.GetStartTime();
    file.FindValue(&request);
    EXPECT_EQ(request.time, At(3));
    request.time = file.GetEndTime();
    request.direction = 1;
    file.FindValue(&request);
    EXPECT_EQ(request.time, At(8));
    request.time = At(2);
    file.FindValue(&request);
    EXPECT_EQ(request.time, 0);
}

TEST_F(CXFileAccess, HourlyTotalsOutsideTheValidRangeReadAsZero) {
    constexpr std::int64_t limit = std::int64_t{1} << 56;
    const std::int64_t stored[] = {
        100, limit, limit + 1, -5, std::numeric_limits<std::int64_t>::min(), 0};
    const double expected[] = {100, static_cast<double>(limit), 0, 0, 0, 0};
    kvr::SampleOptions options;
    options.records = 360;  // six hours
    options.hourly = [&](int k) { return k < 6 ? stored[k] : std::int64_t{77}; };
    OpenSample(options);
    const kvr::SegmentDescriptor& hourly = file.Header().hourly;
    ASSERT_EQ(hourly.count, 6u);
    ASSERT_EQ(hourly.last, hourly.first + 5 * 3600);
    for (int k = 0; k < 6; ++k) {
        double total = -1;
        // Inside an hour, except the last: the table ends at the last hour's own time.
        ASSERT_EQ(file.GetHourTotal(0, hourly.first + k * 3600 + (k < 5 ? 1799 : 0), &total), 1)
            << k;
        EXPECT_EQ(total, expected[k]) << k;
    }
    double total = -1;
    EXPECT_EQ(file.GetHourTotal(0, hourly.first - 1, &total), 0);
    EXPECT_EQ(file.GetHourTotal(0, hourly.last + 1, &total), 0);
    EXPECT_EQ(total, -1);

    kvr::CXFile closed;
    EXPECT_EQ(closed.GetHourTotal(0, hourly.first, &total), 1) << "a closed file answers neutrally";
    EXPECT_EQ(total, -1);
}

// Equal, or both NaN (a stored NaN reads as NaN every way).
bool Same(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

// The inline read and the checked one agree on every moment around a file whose claimed
// end lies past its capacity, for intervals that exercise the division.
TEST_F(CXFileAccess, InlineAndCheckedReadsAgreeOnEverySample) {
    for (const int interval : {1, 7, 60, 3600, 65535}) {
        SCOPED_TRACE(interval);
        kvr::SampleOptions options = Ramp(50);
        options.interval = interval;
        options.capacity = 30;  // the end claims 50 records; 30 are stored
        options.sample = [](int channel, int record) {
            return channel == 4 && record == 5 ? NAN : kvr::RampSample(channel, record);
        };
        OpenSample(options);
        file.Header().channels[2].signalType = 81;  // not read inline
        file.Header().channels[3].rangeLow = kvr::DecimalTriple::Encode(3010.0f, 0);
        const kvr::Time start = file.GetStartTime();
        const kvr::Time step = interval > 60 ? interval / 7 : 1;
        int compared = 0, stored = 0;
        for (kvr::Time t = start - 3 * step; t <= file.GetEndTime() + 3 * step; t += step) {
            for (int c = -1; c <= 7; ++c) {
                float value[2] = {-1, -1}, percent[2] = {-1, -1};
                const int fast = file.GetValue(c, t, &value[0], &percent[0]);
                const int checked = file.GetValueChecked(c, t, &value[1], &percent[1]);
                ASSERT_EQ(fast, checked) << "channel " << c << " at " << t - start;
                ASSERT_TRUE(Same(value[0], value[1])) << "channel " << c << " at " << t - start;
                ASSERT_TRUE(Same(percent[0], percent[1])) << "channel " << c << " at " << t - start;
                ++compared;
                stored += c == 0 && fast == 1;
            }
        }
        EXPECT_GT(compared, 400);
        // The bulk read gives what GetValue gives for every record, NaN where it gives none,
        // on runs that begin before the file and end past its stored records, record by
        // record and every few records.
        const int records = 50;
        struct Run {
            int first, count, stride;
        };
        for (int c = -1; c <= 7; ++c)
            for (const auto& [first, count, stride] :
                 {Run{-3, records + 6, 1}, Run{29, 1, 1}, Run{-8, 21, 3}, Run{1, 5, 7}}) {
                std::vector<float> bulk(static_cast<size_t>(count), -1.0f);
                file.ReadChannel(c, first, count, bulk.data(), stride);
                for (int i = 0; i < count; ++i) {
                    float value = std::numeric_limits<float>::quiet_NaN();
                    const kvr::Time record = first + i * stride;
                    file.GetValue(c, start + record * static_cast<kvr::Time>(interval), &value,
                                  nullptr);
                    const float read = bulk[static_cast<size_t>(i)];
                    ASSERT_TRUE(Same(read, value)) << "channel " << c << " record " << record;
                }
            }
        // Values at evenly spaced moments answer as GetValue does, moment by moment: on
        // records and between them, before the file, past the end time inside the last
        // record, at steps that are no whole number of records.
        struct Moments {
            kvr::Time first, step;
        };
        // An end time on a stored record, so that moments inside it can lie past the end.
        const kvr::Time end = start + 20 * static_cast<kvr::Time>(interval);
        file.Header().records.last = end;
        for (int c = -1; c <= 7; ++c)
            for (const auto& [first, every] :
                 {Moments{start - 2 * interval, interval}, Moments{start + 1, 3 * interval},
                  Moments{start, interval + 1}, Moments{end - 2 * interval + 1, interval}}) {
                const int count = 60;
                std::vector<float> values(count, -1.0f);
                std::vector<std::uint8_t> answered(count, 9);
                file.ReadValues(c, first, every, count, values.data(), answered.data());
                for (int i = 0; i < count; ++i) {
                    const kvr::Time t = first + i * every;
                    float value = 0.0f;
                    const int answer = file.GetValue(c, t, &value, nullptr);
                    const float read = values[static_cast<size_t>(i)];
                    ASSERT_EQ(answered[static_cast<size_t>(i)], answer)
                        << "channel " << c << " at " << t - start;
                    ASSERT_TRUE(Same(read, value)) << "channel " << c << " at " << t - start;
                }
            }
        EXPECT_EQ(stored,
                  static_cast<int>((30 * static_cast<kvr::Time>(interval) + step - 1) / step))
            << "exactly the moments of the stored records read a value";
        file.Close();
    }
}

// A hostile file: ten records stored, one second apart, an end decades away. The search
// stops at the last stored record in either direction.
TEST_F(CXFileAccess, FindValueStopsAtTheLastStoredRecord) {
    std::vector<std::uint8_t> bytes = kvr::BuildSampleImage(Ramp(20));
    kvrtest::Poke<std::uint32_t>(bytes, 0xC0 + 0x14, 10);
    kvrtest::Poke<std::uint16_t>(bytes, 0x40 + 0x3D, 1);
    const std::uint8_t end2060[6] = {60, 1, 1, 0, 0, 0};
    std::memcpy(bytes.data() + 0xC0 + 6, end2060, 6);
    const std::string path = dir.file("hostile.FDZ");
    kvrtest::WriteBytes(path, bytes);
    ASSERT_EQ(file.Open(path), 1);
    const kvr::Time start = file.GetStartTime();
    ASSERT_GT(file.GetEndTime() - start, 1000000000);

    kvr::FindRequest request;
    request.target = 12345.0f;  // nowhere
    request.time = start;
    file.FindValue(&request);
    EXPECT_EQ(request.time, 0);
    request.direction = 1;
    request.time = file.GetEndTime();
    file.FindValue(&request);
    EXPECT_EQ(request.time, 0);
    // From the end backwards, the first stored match is record 9 of channel 1.
    request.target = 1009.0f;
    request.time = file.GetEndTime();
    file.FindValue(&request);
    EXPECT_EQ(request.time, start + 9);
}

}  // namespace
