// Damaged and hostile files must open or be refused, never read or write outside the file.
// These run under the address and undefined-behaviour sanitizers in CI.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"
#include "core/datafile/event_log.h"
#include "datafile_test_util.h"

namespace {

// Touches everything a view, a list or the tool would ask of an opened file.
void Exercise(kvr::CXFile& file, bool edit) {
    const kvr::Time start = file.GetStartTime(), end = file.GetEndTime();
    const kvr::Time interval = file.GetInterval();
    // Export, statistics and the report never walk more records than the file has bytes.
    const kvr::Time spanEnd = file.GetSpanEndTime();
    EXPECT_TRUE(spanEnd >= start && spanEnd <= end);
    EXPECT_LE(static_cast<std::uint64_t>((spanEnd - start) / interval), file.MappedSize());
    for (int c = -1; c <= file.GetChannelCount(); ++c) {
        (void)file.GetChannelName(c);
        (void)file.GetChannelUnit(c);
        (void)file.GetValueFormat(c);
        (void)(file.GetRangeLow(c) + file.GetRangeHigh(c) + file.GetAlarmLowLow(c) +
               file.GetAlarmHighHigh(c) + file.GetAlarmLow(c) + file.GetAlarmHigh(c) +
               file.GetHysteresis(c));
        (void)file.GetBaseTotal(c);
        for (int r = -1; r <= 25; ++r) {
            float value = 0, percent = 0;
            (void)file.GetValue(c, start + r * interval, &value, &percent);
            (void)file.GetValue(c, end - r * interval, &value, &percent);
        }
    }
    const kvr::SegmentDescriptor& hourly = file.Header().hourly;
    for (int k = -1; k <= 30; ++k) {
        double total = 0;
        (void)file.GetHourTotal(0, hourly.first + k * 3600, &total);
    }
    for (int j = -1; j <= file.GetTagCount(); ++j) (void)file.GetTag(j);
    // The search is bounded by the stored records, whatever the file claims.
    for (const int direction : {0, 1}) {
        kvr::FindRequest request;
        request.target = 12345.678f;
        request.direction = direction;
        request.time = direction == 0 ? start : end;
        file.FindValue(&request);
        EXPECT_TRUE(request.time == 0 || (request.time >= start && request.time <= end));
    }
    const kvr::ConfigRecord record(file);
    (void)kvr::ReadPowerFailureLog(record);
    (void)kvr::ReadAlarmLog(record);
    (void)kvr::ReadOperationLog(record);
    (void)record.DeviceName();
    for (int k = 0; k < 3; ++k) (void)record.Input(k);
    if (edit) {
        (void)file.AddTag(start);
        (void)file.DeleteTag(0);
        (void)file.FlushHeader();
    }
}

class Robustness : public ::testing::Test {
protected:
    void SetUp() override {
        kvr::SampleOptions options;
        options.records = 20;
        image = kvr::BuildSampleImage(options);
        ASSERT_FALSE(image.empty());
    }
    int OpenBytes(const std::vector<std::uint8_t>& bytes, std::size_t size, bool edit,
                  bool* damaged = nullptr) {
        const std::string path = dir.file("damaged.FDZ");
        kvrtest::WriteBytes(path, bytes, size);
        int result = 0;
        {
            kvr::CXFile file;
            result = file.Open(path);
            if (result == 1) Exercise(file, edit);
            if (damaged) *damaged = file.IsDamaged();
        }
        // At most one tag may have been appended; a damaged description never grows a file.
        EXPECT_LE(std::filesystem::file_size(path), size + 4) << "opened: " << result;
        return result;
    }
    kvrtest::TempDir dir;
    std::vector<std::uint8_t> image;
};

TEST_F(Robustness, EveryTruncationOpensOrIsRefused) {
    const std::size_t full = image.size();
    const std::size_t recordArea = 0x150 + 4048;
    for (std::size_t size = 0; size <= full; ++size) {
        bool damaged = false;
        const int result = OpenBytes(image, size, false, &damaged);
        // Cut inside its identification, blocks or configuration a file is refused; cut
        // later, it opens read-only and what is missing reads as missing.
        ASSERT_EQ(result, size < recordArea ? 0 : 1) << size;
        ASSERT_EQ(damaged, result == 1 && size < full) << size;
    }
}

TEST_F(Robustness, SeededRandomCorruptionsNeverCrash) {
    std::mt19937 random(20260105);
    const std::size_t header = 0x150 + 4048 + 16;
    const std::size_t counts[] = {0xC0 + 0x14, 0x100 + 0x14, 0x40 + 0x3B, 0x40 + 0x3D};
    int opened = 0;
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> bytes = image;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits; ++e) {
            const unsigned kind = random() % 10;
            if (kind < 6) {
                bytes[random() % header] = static_cast<std::uint8_t>(random());
            } else if (kind < 8) {
                bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            } else {
                // Counts and sizes are where a reader goes wrong.
                const std::size_t at = counts[random() % 4];
                const std::uint32_t value = random() % 2 ? random() : random() % 64;
                std::memcpy(bytes.data() + at, &value,
                            at == 0x40 + 0x3B   ? 1
                            : at == 0x40 + 0x3D ? 2
                                                : 4);
            }
        }
        const std::size_t size = random() % 4 == 0 ? random() % (bytes.size() + 1) : bytes.size();
        opened +=
            OpenBytes(bytes, size, round % 25 == 0) == 1;  // edits flush to disk: only some rounds
    }
    EXPECT_GT(opened, 100) << "the corruptions should not all be refusals";
}

TEST_F(Robustness, HostileCountsAndTimes) {
    const struct {
        const char* what;
        std::size_t at;
        std::vector<std::uint8_t> bytes;
        int opens;
    } cases[] = {
        {"huge hourly count", 0x100 + 0x14, {0xFF, 0xFF, 0xFF, 0xFF}, 1},
        {"255 tags in a short file", 0x40 + 0x3B, {0xFF}, 1},
        {"interval 1 over a century", 0xC0 + 6, {99, 12, 31, 23, 59, 59}, 0},
        {"interval 1, capacity 10, end in 2060", 0xC0 + 6, {60, 1, 1, 0, 0, 0}, 1},
        {"garbage start stamp", 0xC0, {200, 200, 200, 200, 200, 200}, 0},
        {"hourly range in reverse", 0x100 + 6, {0, 1, 1, 0, 0, 0}, 1},
        {"log counts above 50", 0x140 + 0x632, {0xFF, 0xFF}, 1},
        {"log start index huge", 0x140 + 0x970, {0xFF, 0xFF}, 1},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> bytes = image;
        std::copy(c.bytes.begin(), c.bytes.end(),
                  bytes.begin() + static_cast<std::ptrdiff_t>(c.at));
        if (std::string(c.what).rfind("interval 1", 0) == 0)
            bytes[0x40 + 0x3D] = 1, bytes[0x40 + 0x3E] = 0;
        if (std::string(c.what).find("capacity 10") != std::string::npos) bytes[0xC0 + 0x14] = 10;
        EXPECT_EQ(OpenBytes(bytes, bytes.size(), true), c.opens) << c.what;
    }
}

}  // namespace
