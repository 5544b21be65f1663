// Tables of the upload: model rows, intervals, speeds, records per request, and the texts
// the upload shows.
#include <gtest/gtest.h>

#include "core/datafile/time.h"
#include "core/link/model_table.h"
#include "core/link/realtime_config.h"
#include "core/link/upload_workers.h"

namespace {

TEST(ModelTable, FamilyOfTheAsciiIdentification) {
    const struct {
        const char* answer;
        int family;
    } cases[] = {
        {"QDV0003", 0},  {"QDV0021", 0},    {"QD007", 0},   {"QD010", 0},  {"QDV0001", 1},
        {"QDV0002", 1},  {"QDV0001xyz", 1}, {"QD007X", -1}, {"QD022", -1}, {"QDV0022", -1},
        {"QZK2TW1", -1}, {"", -1},          {"QDV000", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(kvr::FamilyOfAnswer(c.answer), c.family) << c.answer;
}

TEST(ModelTable, IntervalsSpeedsAndRequestSizes) {
    const int intervals[] = {1, 2, 5, 10, 15, 30, 60, 120, 240};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(kvr::IntervalOfIndex(i), intervals[i]);
    EXPECT_EQ(kvr::IntervalOfIndex(9), 0);

    const struct {
        int baud, speed;
    } speeds[] = {{1200, 50},   {2400, 139},   {4800, 270},   {9600, 530},
                  {19200, 930}, {38400, 1250}, {57600, 1370}, {115200, 530}};
    for (const auto& s : speeds) EXPECT_EQ(kvr::TransferSpeed(s.baud), s.speed) << s.baud;

    const struct {
        int channels, records;
    } requests[] = {{6, 20}, {8, 15}, {1, 120}, {64, 1}, {120, 1}, {121, 0}, {0, 0}, {-1, 0}};
    for (const auto& r : requests)
        EXPECT_EQ(kvr::RecordsPerRequest(r.channels), r.records) << r.channels;
}

TEST(UploadTexts, RemainingTime) {
    const struct {
        std::uint32_t total, done, speed;
        const char* text;
    } cases[] = {
        {530 * 30, 0, 530, "估计剩余时间:30秒"},
        {530 * 60, 0, 530, "估计剩余时间:60秒"},
        {530 * 61, 0, 530, "估计剩余时间:1分1秒"},
        {530 * 3600, 0, 530, "估计剩余时间:60分0秒"},
        {530 * 3601, 0, 530, "估计剩余时间:1小时0分"},
        {530 * 7322, 0, 530, "估计剩余时间:2小时2分"},
        {1000, 600, 100, "估计剩余时间:4秒"},
        {100, 0, 530, "估计剩余时间:1秒"},
        // More done than the total (the last block of a ring upload): never a wrapped huge
        // number.
        {100, 500, 530, "估计剩余时间:1秒"},
    };
    for (const auto& c : cases) EXPECT_EQ(kvr::RemainingTimeText(c.total, c.done, c.speed), c.text);
}

TEST(UploadTexts, CompletionReportsTheSpeedOverAtLeastOneSecond) {
    const kvr::Time start = kvr::MakeTime({2024, 3, 4, 5, 6, 7});
    EXPECT_EQ(kvr::CompletionText(start, start, 1452),
              "文件上传完成!\n开始时间:2024-03-04 05:06:07\n结束时间:2024-03-04 05:06:07\n速    "
              "度:1452B/s");
    EXPECT_EQ(kvr::CompletionText(start, start + 4, 1000),
              "文件上传完成!\n开始时间:2024-03-04 05:06:07\n结束时间:2024-03-04 05:06:11\n速    "
              "度:250B/s");
}

TEST(RealtimeFormat, FirmwareDigitsChooseTheFileVersion) {
    const struct {
        const char* id;
        int version, size;
        const char* magic;
    } cases[] = {
        {"QZK2TW1005", 1002, 3728, "KVR1002"},
        {"QZK2TW0001", 1002, 3728, "KVR1002"},
        {"QZK2TW1006", 1003, 3888, "KVR1003"},
        {"QZK2TW1009", 1003, 3888, "KVR1003"},
        {"QZK2TW1010", 1004, 4048, "KVR1004"},
        {"QZK2TW2000", 1004, 4048, "KVR1004"},
        {"QZK2PV1009", 0, 0, ""},
    };
    for (const auto& c : cases) {
        const kvr::FirmwareFormat f = kvr::FormatForIdentification(c.id);
        EXPECT_EQ(f.version, c.version) << c.id;
        EXPECT_EQ(f.configSize, c.size) << c.id;
        EXPECT_STREQ(f.magic, c.magic) << c.id;
    }
}

}  // namespace
