#include "core/publish/publish_cursor.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/test_support.h"

namespace {

void Overwrite(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

TEST(PublishCursor, WrittenCursorReadsBackAndReplacesTheOldOne) {
    kvrtest::TempDir dir;
    const std::string path = dir.file("a.cursor");
    const kvr::CursorReadResult none = kvr::ReadPublishCursor(path);
    EXPECT_FALSE(none.cursor);
    EXPECT_EQ(none.error, "");
    ASSERT_EQ(kvr::WritePublishCursor(path, 1767542400), "");
    ASSERT_EQ(kvr::WritePublishCursor(path, 1767542460), "");
    const kvr::CursorReadResult read = kvr::ReadPublishCursor(path);
    EXPECT_EQ(read.cursor, 1767542460);
    EXPECT_EQ(read.error, "");
    // Nothing is left beside it.
    EXPECT_EQ(kvrtest::RunCommand("ls -A " + dir.path()).out, "a.cursor\n");
}

TEST(PublishCursor, DamagedCursorIsRefusedNotGuessed) {
    kvrtest::TempDir dir;
    const std::string path = dir.file("a.cursor");
    ASSERT_EQ(kvr::WritePublishCursor(path, 1767542400), "");
    const std::string good = kvrtest::ReadWholeFile(path);
    std::string edited = good;
    edited[good.find("1767542400") + 9] = '9';  // a later cursor would skip records
    for (const std::string& text : {edited, good.substr(0, good.size() - 1), good.substr(0, 10),
                                    std::string(), good + "x\n", std::string(200, '1')}) {
        Overwrite(path, text);
        const kvr::CursorReadResult read = kvr::ReadPublishCursor(path);
        EXPECT_FALSE(read.cursor) << text;
        EXPECT_NE(read.error.find("damaged"), std::string::npos) << text;
    }
}

TEST(PublishCursor, FailedWriteSaysWhere) {
    kvrtest::TempDir dir;
    EXPECT_NE(kvr::WritePublishCursor(dir.file("missing/a.cursor"), 5).find("missing/a.cursor"),
              std::string::npos);
}

}  // namespace
