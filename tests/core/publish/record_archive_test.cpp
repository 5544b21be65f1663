#include "core/publish/record_archive.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/datafile/cxfile.h"
#include "support/test_support.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

kvr::PublishedRecord Record(kvr::Time ts, float first) {
    return {ts, {first, first + 1, kNaN, 4, 5, 6}, 123456789012345, 7};
}

// What KVR reads from a file: record time -> channel 0 and 2.
std::map<kvr::Time, std::pair<float, float>> Samples(const std::string& path) {
    kvr::CXFile file;
    EXPECT_EQ(file.Open(path), 1) << path;
    std::map<kvr::Time, std::pair<float, float>> samples;
    for (int i = 0; i < file.GetWholeRecords(); ++i) {
        float a = 0, c = 0;
        file.ReadChannel(0, i, 1, &a);
        file.ReadChannel(2, i, 1, &c);
        samples[file.GetStartTime() + static_cast<kvr::Time>(i) * file.GetInterval()] = {a, c};
    }
    return samples;
}

TEST(RecordArchive, SavesOneFilePerRunWithMissingSamplesOnceAndNeverOverwrites) {
    kvrtest::ZoneGuard zone("Asia/Shanghai");
    kvrtest::TempDir dir;
    kvr::InstrumentInfo info;
    info.interval = 10;
    info.identification = "QZK2TW1010KVR1004";
    info.version = 1004;
    info.channels.resize(6);
    kvr::RecordArchive archive;
    archive.SetInfo(info);
    const kvr::Time start = 1767542400;  // 2026-01-05 00:00:00 +08:00
    EXPECT_EQ(archive.Add({Record(start + 10, 2), Record(start, 1), Record(start + 40, 5)}), 0u);
    // Sent again: counted, kept once.
    EXPECT_EQ(archive.Add({Record(start, 1), Record(start + 10, 2)}), 2u);
    EXPECT_EQ(archive.Pending(), 3u);

    const kvr::ArchiveSaveResult saved = archive.Save(dir.path(), "a", false);
    ASSERT_EQ(saved.error, "");
    ASSERT_EQ(saved.files.size(), 2u);  // the gap after start + 10 starts a new file
    EXPECT_EQ(saved.files[0], dir.file("a-20260105-000000.FDZ"));
    EXPECT_EQ(saved.files[1], dir.file("a-20260105-000040.FDZ"));
    const auto first = Samples(saved.files[0]);
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first.at(start).first, 1.0f);
    EXPECT_EQ(first.at(start + 10).first, 2.0f);
    EXPECT_TRUE(std::isnan(first.at(start).second));
    kvr::CXFile file;
    ASSERT_EQ(file.Open(saved.files[1]), 1);
    EXPECT_EQ(file.Header().flowTotal, 123456789012345);
    EXPECT_EQ(archive.Pending(), 0u);

    // Sent again after the save (a publisher's replay after a lost connection): counted,
    // not filed twice; a new time still is.
    EXPECT_EQ(archive.Add({Record(start + 10, 2), Record(start + 40, 5), Record(start + 50, 6)}),
              2u);
    EXPECT_EQ(archive.Pending(), 1u);

    // Another run that learnt what is filed: what came before counts as sent again.
    kvr::RecordArchive learnt;
    learnt.LearnFiled(dir.path(), "a");
    learnt.LearnFiled(dir.path() + "/absent", "a");
    EXPECT_EQ(learnt.Add({Record(start, 1), Record(start + 40, 5), Record(start + 30, 4)}), 2u);
    EXPECT_EQ(learnt.Pending(), 1u);

    // The same name again from a run that did not: a new file beside it, the first one as
    // it was.
    kvr::RecordArchive later;
    later.SetInfo(info);
    later.Add({Record(start, 9)});
    const kvr::ArchiveSaveResult again = later.Save(dir.path(), "a", false);
    ASSERT_EQ(again.files.size(), 1u);
    EXPECT_EQ(again.files[0], dir.file("a-20260105-000000-2.FDZ"));
    EXPECT_EQ(Samples(saved.files[0]).at(start).first, 1.0f);
    kvr::RecordArchive forced;
    forced.SetInfo(info);
    forced.Add({Record(start, 9)});
    EXPECT_EQ(forced.Save(dir.path(), "a", true).files[0], saved.files[0]);
    EXPECT_EQ(Samples(saved.files[0]).at(start).first, 9.0f);
}

}  // namespace
