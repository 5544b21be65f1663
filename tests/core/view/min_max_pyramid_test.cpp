#include "core/view/min_max_pyramid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <random>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "support/test_support.h"

using namespace kvr;
using kvrtest::TempDir;

namespace {

// The plain loop the pyramid must agree with.
std::optional<SampleRange> Brute(const CXFile& file, int c, int first, int last) {
    std::optional<SampleRange> range;
    for (int r = std::max(first, 0); r < last; ++r) {
        float v = NAN;
        if (file.GetValue(c, file.GetStartTime() + Time{r} * file.GetInterval(), &v, nullptr) != 1)
            continue;
        if (std::isnan(v)) continue;
        if (!range) range = SampleRange{v, v};
        range->low = std::min(range->low, v);
        range->high = std::max(range->high, v);
    }
    return range;
}

void ExpectAgree(const CXFile& file, const MinMaxPyramid& pyramid, std::mt19937& random,
                 int records) {
    std::uniform_int_distribution<int> pick(-5, records + 40);
    for (int q = 0; q < 400; ++q) {
        int a = pick(random), b = pick(random);
        if (a > b) std::swap(a, b);
        // Short runs as well: a column of a zoomed-in view covers a few records.
        if (q % 3 == 0) b = a + q % 40;
        for (int c = 0; c < file.GetChannelCount(); ++c) {
            const auto want = Brute(file, c, a, std::min(b, pyramid.RecordCount()));
            const auto got = pyramid.Query(file, c, a, b);
            ASSERT_EQ(want.has_value(), got.has_value())
                << "c " << c << " [" << a << ", " << b << ")";
            if (!want) continue;
            EXPECT_EQ(want->low, got->low) << "c " << c << " [" << a << ", " << b << ")";
            EXPECT_EQ(want->high, got->high) << "c " << c << " [" << a << ", " << b << ")";
        }
    }
}

}  // namespace

// Random values with NaN holes, a capacity smaller than the stored end (records past it
// hold nothing), checked while the file grows record by record and in bursts, with the
// finest leaves and with leaves coarsened as the records outgrow a small bound; then on
// the same file cut short inside a record.
TEST(MinMaxPyramid, AgreesWithPlainLoopWhileGrowing) {
    TempDir dir;
    SampleOptions options;
    options.records = 3000;
    options.capacity = 2900;
    options.interval = 5;
    options.sample = [](int channel, int record) {
        if (record % 97 == 13 && channel == 1) return NAN;
        std::uint32_t h = static_cast<std::uint32_t>(record * 2654435761u + channel * 40503u);
        h ^= h >> 15;
        return static_cast<float>(h % 100000) / 10.0f - 500.0f;
    };
    const std::string path = dir.file("grow.FDZ");
    ASSERT_TRUE(WriteSampleFile(path, options));
    CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    const Time end = file.GetEndTime();

    std::mt19937 random(20261208);
    for (const int maxLeaves : {MinMaxPyramid::kMaxLeaves, 16}) {
        SCOPED_TRACE(maxLeaves);
        MinMaxPyramid pyramid(maxLeaves);
        // The stored end moves as a live buffer's does; Sync extends what it has.
        for (int shown : {1, 2, 17, 33, 500, 1024, 1025, 2900}) {
            file.Header().records.last = file.GetStartTime() + Time{shown - 1} * options.interval;
            pyramid.Sync(file);
            ASSERT_EQ(pyramid.RecordCount(), shown);
            ExpectAgree(file, pyramid, random, shown);
        }
        file.Header().records.last = end;
        pyramid.Sync(file);
        EXPECT_EQ(pyramid.RecordCount(), 2900);  // the capacity, not the stored end
        EXPECT_EQ(pyramid.LeafRecords(), maxLeaves == 16 ? 256 : MinMaxPyramid::kLeafRecords);
        ExpectAgree(file, pyramid, random, 3000);

        // A rebuilt pyramid gives the same answers as the grown one.
        MinMaxPyramid fresh(maxLeaves);
        fresh.Sync(file);
        EXPECT_EQ(fresh.LeafRecords(), pyramid.LeafRecords());
        for (int c = 0; c < file.GetChannelCount(); ++c) {
            const auto a = pyramid.Query(file, c, 7, 2801), b = fresh.Query(file, c, 7, 2801);
            ASSERT_TRUE(a && b);
            EXPECT_EQ(a->low, b->low);
            EXPECT_EQ(a->high, b->high);
        }
    }

    // Cut short inside record 2000: it and the records after it hold nothing.
    file.Close();
    std::filesystem::resize_file(path, 0x150 + 4048 + 2000 * 6 * 4 + 10);
    ASSERT_EQ(file.Open(path), 1);
    ASSERT_TRUE(file.IsDamaged());
    MinMaxPyramid cut(16);
    cut.Sync(file);
    ExpectAgree(file, cut, random, 2900);
    EXPECT_FALSE(cut.Query(file, 0, 2000, 2900));
}

TEST(MinMaxPyramid, OneSpikeAndShrinkingFile) {
    TempDir dir;
    SampleOptions options;
    options.records = 5000;
    options.interval = 1;
    options.sample = [](int, int record) { return record == 4321 ? 99.0f : 1.0f; };
    const std::string path = dir.file("spike.FDZ");
    ASSERT_TRUE(WriteSampleFile(path, options));
    CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    MinMaxPyramid pyramid;
    pyramid.Sync(file);
    EXPECT_EQ(pyramid.Query(file, 0, 0, 5000)->high, 99.0f);
    EXPECT_EQ(pyramid.Query(file, 0, 4321, 4322)->high, 99.0f);
    EXPECT_EQ(pyramid.Query(file, 0, 4322, 5000)->high, 1.0f);
    EXPECT_FALSE(pyramid.Query(file, 0, 5000, 6000));
    EXPECT_FALSE(pyramid.Query(file, 0, 10, 10));
    // A file that lost records (a new recording in the same buffer) is rebuilt, not kept.
    file.Header().records.last = file.GetStartTime() + 100;
    pyramid.Sync(file);
    EXPECT_EQ(pyramid.RecordCount(), 101);
    EXPECT_EQ(pyramid.Query(file, 0, 0, 5000)->high, 1.0f);
}
