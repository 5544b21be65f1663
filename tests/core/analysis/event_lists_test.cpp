// The rows of the three event-log lists: ring order, newest on top, cells as shown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/analysis/event_lists.h"
#include "core/datafile/config_record.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Image {
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(4048, 0);

    void Word(std::size_t offset, int value) {
        bytes[offset] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    }
    // Stamp 2026-01-(day) 10:(minute):00 at offset.
    void Stamp(std::size_t offset, int day, int minute) {
        const std::uint8_t stamp[6] = {
            26, 1, static_cast<std::uint8_t>(day), 10, static_cast<std::uint8_t>(minute), 0};
        std::copy(stamp, stamp + 6, bytes.begin() + static_cast<long>(offset));
    }
    kvr::EventTable Table(kvr::EventList list, int version = 1004) const {
        const std::size_t size = version == 1002 ? 3728 : version == 1003 ? 3888 : 4048;
        return kvr::BuildEventTable(kvr::ConfigRecord(bytes.data(), size, version), list);
    }
};

constexpr std::size_t kPowerHeader = 0x630, kPowerEntries = 0x64E;
constexpr std::size_t kAlarmHeader = 0x970, kAlarmEntries = 0x980;
constexpr std::size_t kOperationHeader = 0xCA0, kOperationEntries = 0xCB0;

// Every slot stamped with its own minute, so a row tells which slot it came from.
Image PowerLog(int start, int count) {
    Image image;
    image.Word(kPowerHeader, start);
    image.Word(kPowerHeader + 2, count);
    for (int slot = 0; slot < 50; ++slot) {
        image.Stamp(kPowerEntries + 16 * slot, 1, slot);
        image.Stamp(kPowerEntries + 16 * slot + 6, 2, slot);
    }
    return image;
}

std::string Minute(int slot) {
    return "2026-01-01 10:" + std::string(slot < 10 ? "0" : "") + std::to_string(slot) + ":00";
}

TEST(EventLists, RingOrderNewestOnTop) {
    const kvr::EventTable full = PowerLog(10, 50).Table(kvr::EventList::kPowerFailure);
    ASSERT_EQ(full.rows.size(), 50u);
    // Oldest entry is slot 10; the walk goes 10..49, 0..9, so slot 9 is on top numbered 1.
    EXPECT_EQ(full.rows[0], (std::vector<std::string>{"1", Minute(9), "2026-01-02 10:09:00"}));
    EXPECT_EQ(full.rows[9][1], Minute(0));
    EXPECT_EQ(full.rows[10][1], Minute(49));
    EXPECT_EQ(full.rows[49], (std::vector<std::string>{"50", Minute(10), "2026-01-02 10:10:00"}));

    const kvr::EventTable three = PowerLog(30, 3).Table(kvr::EventList::kPowerFailure);
    ASSERT_EQ(three.rows.size(), 3u);
    EXPECT_EQ(three.rows[0][1], Minute(2));
    EXPECT_EQ(three.rows[2][0], "3");
    EXPECT_EQ(three.rows[2][1], Minute(0));

    // A damaged start index still names a slot of the ring.
    const kvr::EventTable wild = PowerLog(60, 50).Table(kvr::EventList::kPowerFailure);
    ASSERT_EQ(wild.rows.size(), 50u);
    EXPECT_EQ(wild.rows[49][1], Minute(10));

    const kvr::EventTable damaged = PowerLog(0, 51).Table(kvr::EventList::kPowerFailure);
    EXPECT_TRUE(damaged.rows.empty());
    EXPECT_EQ(damaged.summary, "");
}

TEST(EventLists, PowerFailureSummary) {
    Image image = PowerLog(0, 2);
    image.Word(kPowerHeader + 4, 7);
    const std::uint32_t seconds = 86400 + 3600 + 60 + 1;
    for (int i = 0; i < 4; ++i)
        image.bytes[kPowerHeader + 8 + i] = static_cast<std::uint8_t>(seconds >> (8 * i));
    const kvr::EventTable table = image.Table(kvr::EventList::kPowerFailure);
    EXPECT_EQ(table.summary, "总次数:7\t总时长:1天1时1分");
    EXPECT_EQ(table.columns.size(), 3u);
    EXPECT_EQ(table.columns[2].title, "上电时间");
    EXPECT_EQ(table.columns[2].width, 210);
    EXPECT_EQ(kvr::OutageSummary(0, 59), "总次数:0\t总时长:0天0时0分");
}

TEST(EventLists, AlarmRows) {
    Image image;
    std::copy_n("FT-101", 6, image.bytes.begin() + 0x0E0);
    std::copy_n("PT-7", 4, image.bytes.begin() + 0x180);
    image.Word(kAlarmHeader + 2, 5);
    const struct {
        int channel, bits, active;
        std::vector<std::string> cells;  // channel, kind, cleared
    } entries[] = {
        {0, 0x00, 0, {"FT-101", "无", "2026-01-02 10:00:00"}},
        {1, 0x06, 0, {"PT-7", "下限", "2026-01-02 10:01:00"}},
        {0, 0x0C, 1, {"FT-101", "上限", "未消报..."}},
        {1, 0x09, 0, {"PT-7", "下下限", "2026-01-02 10:03:00"}},
        {9, 0x08, 0, {"", "上上限", "2026-01-02 10:04:00"}},  // no such channel: no tag
    };
    for (int slot = 0; slot < 5; ++slot) {
        const std::size_t at = kAlarmEntries + 16 * slot;
        image.Stamp(at, 1, slot);
        image.Stamp(at + 6, 2, slot);
        image.bytes[at + 12] = static_cast<std::uint8_t>(entries[slot].channel);
        image.bytes[at + 13] = static_cast<std::uint8_t>(entries[slot].bits);
        image.bytes[at + 14] = static_cast<std::uint8_t>(entries[slot].active);
    }
    const kvr::EventTable table = image.Table(kvr::EventList::kAlarm);
    ASSERT_EQ(table.rows.size(), 5u);
    for (int slot = 0; slot < 5; ++slot) {
        const auto& e = entries[slot].cells;
        EXPECT_EQ(table.rows[4 - slot], (std::vector<std::string>{std::to_string(5 - slot), e[0],
                                                                  e[1], Minute(slot), e[2]}))
            << "slot " << slot;
    }
    EXPECT_EQ(table.summary, "");
}

TEST(EventLists, OperationRowsOnlyFromStoredEntries) {
    Image image;
    image.Word(kOperationHeader, 45);
    image.Word(kOperationHeader + 2, 50);
    for (int slot = 0; slot < 50; ++slot) {
        image.Stamp(kOperationEntries + 16 * slot, 1, slot);
        image.Word(kOperationEntries + 16 * slot + 6, slot % 9);
    }
    const kvr::EventTable v1004 = image.Table(kvr::EventList::kOperation);
    ASSERT_EQ(v1004.rows.size(), 50u);
    // Slot 44 is the newest; codes 8 and 7 have no text, code 6 is the last that has one.
    EXPECT_EQ(v1004.rows[0], (std::vector<std::string>{"1", "", Minute(44)}));
    EXPECT_EQ(v1004.rows[1], (std::vector<std::string>{"2", "", Minute(43)}));
    EXPECT_EQ(v1004.rows[2], (std::vector<std::string>{"3", "清除余量", Minute(42)}));
    EXPECT_EQ(v1004.rows[3][1], "修改记录间隔");
    EXPECT_EQ(v1004.columns[1].align, kvr::ColumnAlign::kLeft);

    for (const auto& [version, stored] : {std::pair{1002, 30}, std::pair{1003, 40}}) {
        const kvr::EventTable older = image.Table(kvr::EventList::kOperation, version);
        ASSERT_EQ(older.rows.size(), static_cast<std::size_t>(stored)) << version;
        for (const auto& row : older.rows) {
            const int minute = std::stoi(row[2].substr(14, 2));
            EXPECT_LT(minute, stored) << version;
        }
        EXPECT_EQ(older.rows.back()[0], std::to_string(stored));
    }
}

}  // namespace
