// Editing a file's display settings and channel presentation: the checks, the cuts, the
// clamps, channel stepping, and a save that fails leaving the header as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/datafile/cxfile.h"
#include "core/datafile/file_info.h"
#include "core/datafile/gbk.h"
#include "datafile_test_util.h"

namespace {

kvr::FileInfo WithChannels(std::initializer_list<int> states) {
    kvr::FileInfo info;
    for (int state : states) info.channels.push_back({"", "", "", 0, state, 1});
    return info;
}

TEST(FileInfo, RangeChecks) {
    const struct {
        int yMode;
        float low, high;
        const char* message;  // nullptr: accepted
    } cases[] = {
        {0, 0.0f, 100.0f, nullptr},
        {0, -1.0f, 50.0f, "百分比模式显示范围：0 - 100"},
        {0, 0.0f, 100.5f, "百分比模式显示范围：0 - 100"},
        {0, 10.0f, 10.0f, "Y轴显示范围设置错误！"},
        {1, -50.0f, 500.0f, nullptr},
        {1, 10.0f, 10.0f, "Y轴显示范围设置错误！"},
        {1, 20.0f, 10.0f, "Y轴显示范围设置错误！"},
        {1, std::nanf(""), 10.0f, "Y轴显示范围设置错误！"},
    };
    for (const auto& c : cases) {
        kvr::FileInfo info;
        info.yMode = c.yMode;
        info.yLow = c.low;
        info.yHigh = c.high;
        const auto message = kvr::CheckFileInfo(info);
        if (c.message)
            EXPECT_EQ(message.value_or("accepted"), c.message) << c.low << ".." << c.high;
        else
            EXPECT_FALSE(message) << *message;
    }
}

TEST(FileInfo, ModeSwitchResetsRangeSoThatItCanBeSaved) {
    kvrtest::TempDir dir;
    const std::string path = kvrtest::WriteSample(dir, "mode.FDZ");
    for (const int yMode : {0, 1}) {
        {
            kvr::CXFile file;
            ASSERT_EQ(file.Open(path), 1);
            kvr::FileInfo info = kvr::ReadFileInfo(file);
            info.yLow = -30.0f;  // out of reach of percent mode
            info.yHigh = 450.0f;
            kvr::SetValueMode(info, yMode);
            EXPECT_FALSE(kvr::SaveFileInfo(info, file)) << yMode;
        }
        kvr::CXFile again;
        ASSERT_EQ(again.Open(path), 1);
        EXPECT_EQ(again.Header().yMode, yMode);
        EXPECT_EQ(again.Header().yLow, 0.0f);
        EXPECT_EQ(again.Header().yHigh, 100.0f);
    }
}

// Every open takes names, units and the alias from the configuration record: a change that
// would not survive reopening is refused and the file left as it was; one at the limit
// reads back whole.
TEST(FileInfo, TextsTheFileCannotKeepAreRefused) {
    kvrtest::TempDir dir;
    const std::string path = kvrtest::WriteSample(dir, "texts.FDZ");
    const std::string fifteen = "主蒸汽流量ABCDE";                   // 5 x 2 + 5 GBK bytes
    const std::string twentyEight = "锅炉房锅炉房锅炉房锅炉房锅炉";  // 14 x 2
    const struct {
        int channel;  // -1: the alias
        std::string unit, name;
        const char* message;
    } refused[] = {
        {0, "kg/h", "", kvr::kUnitNotKept},
        {4, "kg/h", "", kvr::kUnitNotKept},
        {3, "", "蒸汽", kvr::kNameNotKept},
        {5, "", "heat", kvr::kNameNotKept},
        {0, "", fifteen + "F", kvr::kNameTooLong},
        {2, "", "主蒸汽流量主蒸汽流", kvr::kNameTooLong},  // 18 bytes
        {-1, "", twentyEight + "A", kvr::kAliasTooLong},
    };
    const auto bytes = kvrtest::ReadBytes(path);
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        for (const auto& r : refused) {
            kvr::FileInfo info = kvr::ReadFileInfo(file);
            if (r.channel < 0) {
                info.alias = r.name;
            } else {
                kvr::ChannelInfo& channel = info.channels[static_cast<std::size_t>(r.channel)];
                if (!r.unit.empty()) channel.unit = r.unit;
                if (!r.name.empty()) channel.name = r.name;
            }
            EXPECT_EQ(kvr::SaveFileInfo(info, file).value_or("saved"), r.message)
                << r.channel << " " << r.name;
        }
    }
    EXPECT_EQ(kvrtest::ReadBytes(path), bytes);

    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        kvr::FileInfo info = kvr::ReadFileInfo(file);
        info.alias = twentyEight;
        info.channels[0].name = fifteen;
        EXPECT_FALSE(kvr::SaveFileInfo(info, file));
    }
    kvr::CXFile again;
    ASSERT_EQ(again.Open(path), 1);
    EXPECT_EQ(again.GetDeviceName(), twentyEight);
    EXPECT_EQ(again.GetChannelName(0), fifteen);
    EXPECT_EQ(again.GetChannelUnit(0), "kPa");
    EXPECT_EQ(again.GetChannelName(3), "流量");
}

TEST(FileInfo, WriteClampsGridsAndCutsTextsAtCharacterBoundaries) {
    kvr::FileInfo info = WithChannels({1});
    info.gridCount1 = 0;
    info.gridCount2 = 250;
    // 16 characters of two GBK bytes: 32 bytes, cut to 30 for the alias, 31 -> 30 for a name.
    const std::string wide = "流量流量流量流量流量流量流量流量";
    info.alias = wide;
    info.channels[0].name = "A" + wide;
    info.channels[0].unit = "m3/h单位单位单位单位";
    info.channels[0].signalText = "4-20mA";
    kvr::FileHeader header;
    kvr::WriteFileInfo(info, header);
    EXPECT_EQ(header.gridCount1, 1);
    EXPECT_EQ(header.gridCount2, 100);
    const auto text = [](const char* field, std::size_t size) {
        return kvr::FieldToUtf8(field, size);
    };
    EXPECT_EQ(text(header.deviceName, 32), wide.substr(0, 15 * 3));
    EXPECT_EQ(text(header.channels[0].name, 32), "A" + wide.substr(0, 15 * 3));
    EXPECT_EQ(text(header.channels[0].unit, 16), "m3/h单位单位单");  // 14 bytes: one more is 16
    EXPECT_EQ(text(header.channels[0].text3, 16), "4-20mA");
    EXPECT_EQ(header.channels[0].name[31], '\0');
}

TEST(FileInfo, StepSkipsChannelsNotInUse) {
    const kvr::FileInfo info = WithChannels({1, 2, 2, 0, 1, 2});
    EXPECT_EQ(kvr::StepChannel(info, 0, +1), 3);
    EXPECT_EQ(kvr::StepChannel(info, 4, +1), 0);  // 5 is not in use: wrap to 0
    EXPECT_EQ(kvr::StepChannel(info, 0, -1), 4);
    EXPECT_EQ(kvr::StepChannel(info, 3, -1), 0);
    EXPECT_EQ(kvr::StepChannel(WithChannels({1, 2, 2}), 0, +1), 0);
    EXPECT_EQ(kvr::StepChannel(WithChannels({}), 0, +1), 0);
}

TEST(FileInfo, SaveWritesTheFileAndReadsBack) {
    kvrtest::TempDir dir;
    const std::string path = kvrtest::WriteSample(dir, "info.FDZ");
    {
        kvr::CXFile file;
        ASSERT_EQ(file.Open(path), 1);
        kvr::FileInfo info = kvr::ReadFileInfo(file);
        ASSERT_EQ(info.channels.size(), static_cast<std::size_t>(file.GetChannelCount()));
        info.alias = "锅炉房";
        info.channels[1].name = "蒸汽流量";
        info.channels[1].color = 0x00123456;
        info.gridCount2 = 0;
        EXPECT_FALSE(kvr::SaveFileInfo(info, file));
    }
    kvr::CXFile again;
    ASSERT_EQ(again.Open(path), 1);
    const kvr::FileInfo read = kvr::ReadFileInfo(again);
    EXPECT_EQ(read.alias, "锅炉房");
    EXPECT_EQ(read.channels[1].name, "蒸汽流量");
    EXPECT_EQ(read.channels[1].color, 0x00123456u);
    EXPECT_EQ(read.gridCount2, 1);
}

TEST(FileInfo, RefusedOrFailedSaveLeavesHeaderAlone) {
    kvrtest::TempDir dir;
    const std::string path = kvrtest::WriteSample(dir, "keep.FDZ");
    const auto before = kvrtest::ReadBytes(path);
    kvr::CXFile file;
    ASSERT_EQ(file.Open(path), 1);
    kvr::FileInfo info = kvr::ReadFileInfo(file);
    info.alias = "changed";
    info.yLow = info.yHigh = 5.0f;
    EXPECT_EQ(kvr::SaveFileInfo(info, file).value_or(""), "Y轴显示范围设置错误！");
    EXPECT_NE(file.GetDeviceName(), "changed");

    // A file whose header cannot be written: the message says so and the views, which draw
    // from the in-memory header, keep showing what the file holds.
    info.yLow = 0.0f;
    file.Close();
    const std::string name = file.GetDeviceName();
    EXPECT_EQ(kvr::SaveFileInfo(info, file).value_or(""), "保存文件信息失败！");
    EXPECT_EQ(file.GetDeviceName(), name);
    EXPECT_EQ(kvrtest::ReadBytes(path), before);
}

}  // namespace
