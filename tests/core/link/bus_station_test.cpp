// Where a collector's files end: the daily rotation hour and the history file names.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>

#include "core/link/bus_station.h"
#include "support/test_support.h"

namespace {

kvr::Time At(int day, int hour, int minute, int second) {
    return kvr::MakeTime({2026, 3, day, hour, minute, second});
}

TEST(BusStation, RotatesAtTheHourOnceADay) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    // Midnight: the record at 00:00:00 opens the new file, the one before stays.
    EXPECT_FALSE(kvr::CrossesRotation(At(1, 23, 59, 50), At(1, 23, 59, 59), 0));
    EXPECT_TRUE(kvr::CrossesRotation(At(1, 23, 59, 50), At(2, 0, 0, 0), 0));
    // A file that starts at the hour runs a whole day.
    EXPECT_FALSE(kvr::CrossesRotation(At(2, 6, 0, 0), At(3, 5, 59, 59), 6));
    EXPECT_TRUE(kvr::CrossesRotation(At(2, 6, 0, 0), At(3, 6, 0, 0), 6));
    // Started before the hour: the same day's hour ends it; across a month end too.
    EXPECT_TRUE(kvr::CrossesRotation(At(2, 5, 0, 0), At(2, 6, 0, 0), 6));
    EXPECT_TRUE(kvr::CrossesRotation(kvr::MakeTime({2026, 2, 28, 23, 0, 0}), At(1, 0, 0, 0), 0));
    // A collector down over a whole day still starts a new file.
    EXPECT_TRUE(kvr::CrossesRotation(At(1, 12, 0, 0), At(5, 11, 0, 0), 13));
    EXPECT_FALSE(kvr::CrossesRotation(At(1, 23, 0, 0), At(9, 0, 0, 0), -1));
}

TEST(BusStation, HistoryFileNamesNeverTakeAnExistingFile) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    kvrtest::TempDir dir;
    const std::string first = kvr::HistoryFilePath(dir.path(), "boiler", At(7, 8, 9, 10));
    EXPECT_EQ(first, dir.file("boiler-20260307-080910.FDZ"));
    std::ofstream(first) << "x";
    EXPECT_EQ(kvr::HistoryFilePath(dir.path(), "boiler", At(7, 8, 9, 10)),
              dir.file("boiler-20260307-080910-2.FDZ"));
}

}  // namespace
