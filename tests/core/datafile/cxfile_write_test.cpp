// Writing through CXFile: tags, the live buffer with SaveAs, the upload layouts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include "core/datafile/cxfile.h"
#include "core/datafile/gbk.h"
#include "core/datafile/program.h"
#include "datafile_test_util.h"

namespace {

using kvrtest::Peek;

std::uint64_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

class CXFileWrite : public ::testing::Test {
protected:
    void SetUp() override { kvr::SetProgramFolder(dir.path()); }
    void TearDown() override { kvr::SetProgramFolder(""); }
    kvrtest::TempDir dir;
};

TEST_F(CXFileWrite, TagsAreAddedDeletedAndKeptAcrossReopen) {
    const std::string path = kvrtest::WriteSample(dir, "tags.FDZ");
    const std::uint64_t tagArea = FileSize(path) - 3 * 4;
    const kvr::Time t = kvr::MakeTime({2026, 1, 5, 0, 1, 1});
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        ASSERT_EQ(file.GetTagCount(), 3);
        const kvr::Time six = kvr::MakeTime({2026, 1, 5, 6}), twelve = six + 6 * 3600,
                        eighteen = twelve + 6 * 3600;
        EXPECT_EQ(file.GetTag(0), six);
        EXPECT_EQ(file.AddTag(file.GetStartTime() - 1), 0);
        EXPECT_EQ(file.AddTag(file.GetEndTime() + 1), 0);
        EXPECT_EQ(file.GetTagCount(), 3);
        ASSERT_EQ(file.AddTag(t), 1);
        EXPECT_EQ(file.GetTagCount(), 4);
        EXPECT_EQ(file.GetTag(3), t);
        EXPECT_EQ(FileSize(path), tagArea + 16);

        ASSERT_EQ(file.DeleteTag(1), 1);  // 06:00 18:00 t
        EXPECT_EQ(file.GetTag(1), eighteen);
        EXPECT_EQ(file.GetTag(2), t);
        EXPECT_EQ(file.DeleteTag(3), 0);
        EXPECT_EQ(file.DeleteTag(-1), 0);
        ASSERT_EQ(file.DeleteTag(2), 1);  // the last one: only the count changes
        EXPECT_EQ(file.GetTagCount(), 2);
        EXPECT_EQ(file.GetTag(1), eighteen);
        EXPECT_EQ(file.GetTag(2), 0) << "beyond the count";
    }
    EXPECT_EQ(FileSize(path), tagArea + 8) << "closing cuts the file after its tags";
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    ASSERT_EQ(file.GetTagCount(), 2);
    EXPECT_EQ(file.GetTag(0), kvr::MakeTime({2026, 1, 5, 6}));
    EXPECT_EQ(file.GetTag(1), kvr::MakeTime({2026, 1, 5, 18}));
    EXPECT_EQ(file.Header().tagCount, file.MappedData()[0x40 + 0x3B]);
}

TEST_F(CXFileWrite, TheTwoHundredFiftySixthTagIsRefused) {
    kvr::SampleOptions options;
    options.tags = 254;
    const std::string path = kvrtest::WriteSample(dir, "full.FDZ", options);
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        ASSERT_EQ(file.AddTag(file.GetStartTime()), 1);
        EXPECT_EQ(file.GetTagCount(), 255);
        const std::string before = kvrtest::ReadWholeFile(path);
        EXPECT_EQ(file.AddTag(file.GetStartTime() + 60), 0);
        EXPECT_EQ(file.GetTagCount(), 255);
        EXPECT_EQ(kvrtest::ReadWholeFile(path), before)
            << "a refused tag leaves the file as it was";
    }
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    EXPECT_EQ(file.GetTagCount(), 255);
    EXPECT_EQ(file.GetTag(254), file.GetStartTime());
}

// The acquisition's path: a live buffer in the program folder, records appended, saved.
TEST_F(CXFileWrite, LiveBufferAppendAndSaveAsRoundTrip) {
    kvr::SampleOptions options;
    options.version = 1003;
    options.records = 5;
    kvr::CXFile source;
    ASSERT_EQ(source.Open(kvrtest::WriteSample(dir, "source.FDZ", options)), 1);

    kvr::CXFile live;
    live.Header() = source.Header();
    live.SetVersion(source.GetVersion());
    live.SetConfigSize(source.GetConfigSize());
    live.Header().records.count = 50;
    ASSERT_EQ(live.CreateTempFile(), 1);
    const std::string tempPath = dir.path() + "/temp.tmp";
    EXPECT_TRUE(std::filesystem::exists(tempPath));
    EXPECT_TRUE(live.IsTemp());
    EXPECT_EQ(live.GetCapacity(), 50);
    ASSERT_EQ(live.FlushHeader(), 1);
    const kvr::Time start = kvr::MakeTime({2026, 3, 1, 8, 0, 0});
    live.SetStartTime(start);
    for (unsigned r = 0; r < 20; ++r) {
        float record[6];
        for (int c = 0; c < 6; ++c) record[c] = kvr::RampSample(c, static_cast<int>(r));
        live.AppendRecord(record, r);
    }
    const float ignored[6] = {};
    live.AppendRecord(ignored, 50);  // past the capacity: nothing happens
    EXPECT_EQ(live.GetRecordCount(), 20);
    live.SetEndTime(0);
    EXPECT_EQ(live.GetEndTime(), start + 19 * 60);
    float value = 0;
    ASSERT_EQ(live.GetValue(4, start + 7 * 60, &value, nullptr), 1);
    EXPECT_EQ(value, 4007.0f);

    const std::string saved = dir.file("saved.FDZ");
    kvrtest::WriteBytes(saved, {1, 2, 3});  // an older file of that name is replaced
    ASSERT_EQ(live.SaveAs(saved), 1);
    EXPECT_EQ(FileSize(saved), 0x150u + 3888 + 20 * 6 * 4);

    kvr::CXFile reopened;
    ASSERT_EQ(reopened.Open(saved), 1);
    EXPECT_EQ(reopened.GetStartTime(), start);
    EXPECT_EQ(reopened.GetInterval(), 60);
    EXPECT_EQ(reopened.GetRecordCount(), 20);
    EXPECT_EQ(reopened.GetVersion(), 1003);
    EXPECT_EQ(reopened.Header().records.count, 20u);
    EXPECT_EQ(reopened.Header().hourly.count, 0u);
    EXPECT_EQ(reopened.Header().hourly.first, start);
    EXPECT_EQ(reopened.GetDeviceName(), source.GetDeviceName());
    ASSERT_EQ(reopened.GetValue(5, start + 19 * 60, &value, nullptr), 1);
    EXPECT_EQ(value, 5019.0f);

    // The buffer stays open and keeps its capacity: acquisition goes on.
    float record[6] = {9, 9, 9, 9, 9, 9};
    live.AppendRecord(record, 20);
    EXPECT_EQ(live.GetRecordCount(), 21);
    EXPECT_EQ(live.GetCapacity(), 50);

    EXPECT_EQ(live.SaveAs(dir.file("no-such-folder/x.FDZ")), 0);
    // A target that cannot be replaced fails the save and stays as it was.
    std::filesystem::create_directory(dir.file("folder.FDZ"));
    EXPECT_EQ(live.SaveAs(dir.file("folder.FDZ")), 0);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.FDZ")));
    live.Close();
    EXPECT_FALSE(std::filesystem::exists(tempPath));
    EXPECT_EQ(live.GetRecordCount(), -1);
    // Nothing is left behind beside the targets.
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        entries += entry.is_regular_file();
    EXPECT_EQ(entries, 2) << "source.FDZ and saved.FDZ only";
}

// Upload header and channel records from a real header.
class UploadLayout : public CXFileWrite {
protected:
    void SetUp() override {
        CXFileWrite::SetUp();
        ASSERT_EQ(source.Open(kvrtest::WriteSample(dir, "source.FDZ")), 1);
    }
    void Prepare(kvr::CXFile& upload, const char* identification, unsigned capacity) {
        upload.Header() = source.Header();
        std::memset(upload.Header().identification, 0, 32);
        std::memcpy(upload.Header().identification, identification, std::strlen(identification));
        upload.Header().records.count = capacity;
        upload.Header().records.byte18 = 2;
        upload.Header().channels[3].baseTotal = 0x1122334455667788;
    }
    kvr::CXFile source;
};

TEST_F(UploadLayout, U1WritesChannelMajorSlotsIntoARing) {
    const std::string path = dir.file("u1.FDZ");
    constexpr unsigned K = 8;
    {
        kvr::CXFile upload;
        Prepare(upload, "QZX2TW1008", K);
        ASSERT_EQ(upload.Create(path), 1);
        ASSERT_EQ(upload.WriteHeader(), 1);
        EXPECT_EQ(upload.GetRecordCount(), 0);
        for (int c = 0; c < 6; ++c) {
            const std::uint16_t data[3] = {std::uint16_t(c * 100), std::uint16_t(c * 100 + 1),
                                           std::uint16_t(c * 100 + 2)};
            ASSERT_EQ(upload.WriteRecords(data, 3, c), 1);
        }
        const std::uint16_t none[1] = {};
        EXPECT_EQ(upload.WriteRecords(none, 1, 6), 0) << "k is a channel in this layout";
        upload.AdvanceRecords(3);
        EXPECT_EQ(upload.GetRecordCount(), 3);
        const std::uint16_t more[5] = {50, 51, 52, 53, 54};
        ASSERT_EQ(upload.WriteRecords(more, 5, 0), 1);
        upload.AdvanceRecords(5);
        EXPECT_EQ(upload.GetRecordCount(), 0) << "landing exactly on K restarts at 0";
        const std::uint16_t wrapped[1] = {99};
        ASSERT_EQ(upload.WriteRecords(wrapped, 1, 1), 1);
        upload.AdvanceRecords(9);
        EXPECT_EQ(upload.GetRecordCount(), 0);
        ASSERT_EQ(upload.FinishUpload(), 1);
    }
    const std::vector<std::uint8_t> b = kvrtest::ReadBytes(path);
    ASSERT_GE(b.size(), 0x140u + 960 + (5 * K + 3) * 2);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data()), 10), "QZX2TW1008");
    EXPECT_EQ(kvr::FieldToUtf8(reinterpret_cast<const char*>(b.data() + 0x10), 32),
              source.GetDeviceName());
    EXPECT_EQ(kvr::ReadStamp(b.data() + 0x30), source.Header().records.firstStamp);
    EXPECT_EQ(kvr::ReadStamp(b.data() + 0x36), source.Header().records.lastStamp);
    EXPECT_EQ(b[0x3C], 1);
    EXPECT_EQ(b[0x3D], 60);
    EXPECT_EQ(b[0x3E], 6);
    EXPECT_EQ(b[0x40], 3);
    EXPECT_EQ(Peek<float>(b, 0x47), source.Header().yHigh);
    EXPECT_EQ(Peek<std::uint32_t>(b, 0x5E), K);
    EXPECT_EQ(b[0x62], 2);
    EXPECT_EQ(Peek<std::uint16_t>(b, 0x63), 160);
    EXPECT_EQ(b[0x66], 10) << "pie-chart grid count";
    // Channel record, form R1.
    const std::size_t r1 = 0x140 + 160 * 3;
    EXPECT_EQ(kvr::FieldToUtf8(reinterpret_cast<const char*>(b.data() + r1), 32), "流量");
    EXPECT_EQ(kvr::FieldToUtf8(reinterpret_cast<const char*>(b.data() + r1 + 0x20), 16), "t/h");
    EXPECT_EQ(kvr::DecimalTriple::Read(b.data() + r1 + 0x44).mantissa, 200);  // range high 20.0
    EXPECT_EQ(kvr::DecimalTriple::Read(b.data() + r1 + 0x4C).mantissa, 30000);
    EXPECT_EQ(Peek<std::uint32_t>(b, r1 + 0x5C), 0x55667788u);
    EXPECT_EQ(Peek<std::uint32_t>(b, r1 + 0x61), source.Header().channels[3].color);
    EXPECT_EQ(b[r1 + 0x65], 1);
    // Samples: channel c's slot i at 0x140 + 160 N + (c K + i) 2.
    auto slot = [&](int c, unsigned i) {
        return Peek<std::uint16_t>(b, 0x140 + 960 + (c * K + i) * 2);
    };
    EXPECT_EQ(slot(0, 0), 0);
    EXPECT_EQ(slot(2, 1), 201);
    EXPECT_EQ(slot(5, 2), 502);
    EXPECT_EQ(slot(0, 3), 50);
    EXPECT_EQ(slot(0, 7), 54);
    EXPECT_EQ(slot(1, 0), 99) << "after the wrap the ring starts over";

    kvr::CXFile reader;
    EXPECT_EQ(reader.Open(path), 0) << "upload layouts are not read";
}

TEST_F(UploadLayout, U2WritesRecordMajorAfterTheBlocks) {
    for (const char* identification : {"QZK2TW1010KVR1004", "QZK2TW2010KVR1004"}) {
        SCOPED_TRACE(identification);
        const bool formR1 = identification[6] == '1';
        const std::string path = dir.file("u2.FDZ");
        {
            kvr::CXFile upload;
            Prepare(upload, identification, 100);
            ASSERT_EQ(upload.Create(path), 1);
            ASSERT_EQ(upload.WriteHeader(), 1);
            std::uint16_t records[2][6];
            for (int r = 0; r < 2; ++r)
                for (int c = 0; c < 6; ++c)
                    records[r][c] = static_cast<std::uint16_t>(1000 * r + c);
            ASSERT_EQ(upload.WriteRecords(records, sizeof records, 4), 1);
            ASSERT_EQ(upload.FinishUpload(), 1);
        }
        const std::vector<std::uint8_t> b = kvrtest::ReadBytes(path);
        ASSERT_EQ(b.size(), 0x140u + 960 + 6 * 6 * 2);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data())), identification);
        for (std::size_t i = 32; i < 64; ++i) EXPECT_EQ(b[i], 0);
        EXPECT_EQ(kvr::FieldToUtf8(reinterpret_cast<const char*>(b.data() + 0x40), 32),
                  source.GetDeviceName());
        EXPECT_EQ(b[0x60], 6);
        EXPECT_EQ(Peek<std::uint16_t>(b, 0x62), 60);
        EXPECT_EQ(b[0x64], 1);
        EXPECT_EQ(b[0x66], 3);
        const std::size_t channel3 = 0x80 + 160 * 3;
        EXPECT_EQ(kvr::FieldToUtf8(reinterpret_cast<const char*>(b.data() + channel3), 32), "流量");
        if (formR1) {
            EXPECT_EQ(Peek<std::uint32_t>(b, channel3 + 0x5C), 0x55667788u);
            EXPECT_EQ(Peek<std::uint32_t>(b, channel3 + 0x61), source.Header().channels[3].color);
        } else {
            EXPECT_EQ(Peek<std::int64_t>(b, channel3 + 0x5C), 0x1122334455667788);
            EXPECT_EQ(Peek<std::uint32_t>(b, channel3 + 0x64), source.Header().channels[3].color);
            EXPECT_EQ(b[channel3 + 0x68], 1);
            EXPECT_EQ(b[channel3 + 0x69], 1);
        }
        const std::size_t blockA = 0x80 + 960, blockB = 0xC0 + 960;
        EXPECT_EQ(Peek<std::uint16_t>(b, blockA + 0x3D), 60);
        EXPECT_EQ(b[blockA + 0x3B], 3);
        EXPECT_EQ(kvr::ReadStamp(b.data() + blockB), source.Header().records.firstStamp);
        EXPECT_EQ(Peek<std::uint32_t>(b, blockB + 0x14), 100u);
        for (std::size_t i = 0x100 + 960; i < 0x140 + 960; ++i) ASSERT_EQ(b[i], 0) << "the gap";
        // Record k at 0x140 + 160 N + k N 2.
        EXPECT_EQ(Peek<std::uint16_t>(b, 0x140 + 960 + 4 * 12 + 2 * 5), 5);
        EXPECT_EQ(Peek<std::uint16_t>(b, 0x140 + 960 + 5 * 12 + 2 * 3), 1003);

        kvr::CXFile reader;
        EXPECT_NE(reader.Open(path), 1) << "upload layouts are not read";
    }
}

}  // namespace
