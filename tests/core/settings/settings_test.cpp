// The settings kept in Config.ini: the last-used folder and the profile around it, the
// windows' switches, and the display defaults a file takes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/datafile/program.h"
#include "core/settings/display_defaults.h"
#include "core/settings/last_dir.h"
#include "core/settings/profile.h"
#include "core/settings/view_switches.h"
#include "support/test_support.h"

namespace {

kvr::FileInfo WithChannels(std::initializer_list<int> states) {
    kvr::FileInfo info;
    for (int state : states) info.channels.push_back({"", "", "", 0, state, 1});
    return info;
}

class ProgramFolder : public ::testing::Test {
protected:
    void SetUp() override { kvr::SetProgramFolder(dir.path()); }
    void TearDown() override { kvr::SetProgramFolder(""); }
    kvrtest::TempDir dir;
};

TEST_F(ProgramFolder, LastDirDefaultsToTheDataFolderAndPersists) {
    EXPECT_EQ(kvr::GetProgramFolder(), dir.path() + "/");
    EXPECT_EQ(kvr::ReadLastDir(), dir.path() + "/Data");
    struct stat info {};
    EXPECT_EQ(::stat((dir.path() + "/Data").c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));

    ASSERT_TRUE(kvr::WriteLastDir("/srv/plant/锅炉.FDZ"));
    ASSERT_TRUE(kvr::WriteProfileString("LanguageSetting", "Language", "1"));
    ASSERT_TRUE(kvr::WriteLastDir("/srv/plant/b.FDZ"));
    EXPECT_EQ(kvr::ReadLastDir(), "/srv/plant/b.FDZ");
    EXPECT_EQ(kvr::ReadProfileString("LanguageSetting", "Language", "0"), "1");
    EXPECT_EQ(kvr::ReadProfileString("LanguageSetting", "Missing", "dflt"), "dflt");
    const std::string ini = kvrtest::ReadWholeFile(dir.path() + "/Config.ini");
    EXPECT_NE(ini.find("[FileSetting]\r\nLastDir=/srv/plant/b.FDZ\r\n"), std::string::npos) << ini;
}

TEST_F(ProgramFolder, WindowSwitchesKeepTheirDefaultsUntilSwitched) {
    const std::string ini = dir.file("Config.ini");
    EXPECT_TRUE(kvr::ReadEnvelopeShown(ini));
    EXPECT_TRUE(kvr::ReadSpanPanelShown(ini));
    EXPECT_FALSE(kvr::ReadAlarmBeep(ini));
    ASSERT_TRUE(kvr::WriteEnvelopeShown(false, ini));
    ASSERT_TRUE(kvr::WriteAlarmBeep(true, ini));
    EXPECT_FALSE(kvr::ReadEnvelopeShown(ini));
    EXPECT_TRUE(kvr::ReadSpanPanelShown(ini)) << "one switch leaves the others alone";
    EXPECT_TRUE(kvr::ReadAlarmBeep(ini));
    // A value that is neither "0" nor "1" reads as the default.
    ASSERT_TRUE(kvr::WriteProfileString("AlarmSetting", "Beep", "yes", ini));
    ASSERT_TRUE(kvr::WriteProfileString("DisplaySetting", "SpanPanel", "yes", ini));
    EXPECT_FALSE(kvr::ReadAlarmBeep(ini));
    EXPECT_TRUE(kvr::ReadSpanPanelShown(ini));
}

TEST(DisplayDefaults, RestoreShowsEveryChannelInUse) {
    kvr::FileInfo info = WithChannels({0, 2, 1, 0, 0, 0, 0, 0, 0});
    kvr::ViewDef defaults;
    defaults.yMode = 1;
    defaults.yLow = -5.0f;
    defaults.gridCount1 = 7;
    kvr::RestoreDefaults(info, defaults);
    EXPECT_EQ(info.yMode, 1);
    EXPECT_EQ(info.yLow, -5.0f);
    EXPECT_EQ(info.gridCount1, 7);
    EXPECT_TRUE(info.showGrid);
    EXPECT_EQ(info.channels[0].showState, 1);
    EXPECT_EQ(info.channels[1].showState, 2);
    EXPECT_EQ(info.channels[8].color, defaults.curveColors[0]);
    EXPECT_EQ(info.channels[3].color, defaults.curveColors[3]);
}

TEST(DisplayDefaults, RecordIntervalsTheFileCannotHoldAreRefused) {
    for (const int seconds : {1, 60, 3600, 65535})
        EXPECT_FALSE(kvr::CheckRecordInterval(seconds)) << seconds;
    for (const int seconds : {0, -5, 65536, 86400}) {
        const auto refused = kvr::CheckRecordInterval(seconds);
        ASSERT_TRUE(refused) << seconds;
        EXPECT_EQ(*refused, "实时记录间隔必须在1到65535秒之间！");
    }
}

}  // namespace
