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

TEST(FileInfo, ModeSwitchResetsRange) {
    kvr::FileInfo info;
    info.yMode = 1;
    info.yLow = -30.0f;
    info.yHigh = 450.0f;
    kvr::SetValueMode(info, 0);
    EXPECT_EQ(info.yMode, 0);
    EXPECT_EQ(info.yLow, 0.0f);
    EXPECT_EQ(info.yHigh, 100.0f);
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
