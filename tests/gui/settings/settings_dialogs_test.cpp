// The serial-parameter and default-display settings: defaults, what the dialogs return,
// and what Config.ini keeps.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <tuple>
#include <vector>

#include "core/settings/last_dir.h"
#include "core/settings/profile.h"
#include "gui/settings/com_dlg.h"
#include "gui/settings/cxcom.h"
#include "gui/settings/cxviewdef.h"
#include "gui/settings/serial_ports.h"
#include "gui/settings/settings_dialog.h"
#include "support/gui_test_support.h"

namespace {

using SettingsTest = guitest::ProgramFolderTest;

// Every setting of the serial parameters except the device, in one comparable value.
auto Settings(const kvr::ComParam& p) {
    return std::make_tuple(p.baud, p.parity, p.address, p.intervalBase, p.constantBase,
                           p.multiplier, p.writeConstantBase, p.writeMultiplier, p.attempts);
}

TEST_F(SettingsTest, SerialParametersDefaultAndRoundTrip) {
    kvr::ComParam param;
    CXCom().GetComm(&param);
    EXPECT_FALSE(param.device.empty());
    EXPECT_EQ(Settings(param), std::make_tuple(9600, 0, 1, 10, 50, 0, 50, 0, 3));

    // Keeping the settings leaves the other sections alone, even a path with a comma.
    const std::string lastFile = Folder().path() + "/a,b;c.FDZ";
    kvr::WriteLastDir(lastFile);
    kvr::ComParam kept;
    kept.device = "/dev/pts/17";
    std::tie(kept.baud, kept.parity, kept.address, kept.intervalBase, kept.constantBase,
             kept.multiplier, kept.writeConstantBase, kept.writeMultiplier, kept.attempts) =
        std::make_tuple(19200, 2, 12, 20, 100, 1, 80, 2, 5);
    ASSERT_TRUE(CXCom::KeepComm(kept));
    CXCom().GetComm(&param);
    EXPECT_EQ(param.device, "/dev/pts/17");
    EXPECT_EQ(Settings(param), Settings(kept));
    EXPECT_EQ(kvr::ReadLastDir(), lastFile);

    // Hand-edited nonsense falls back to the defaults, one value at a time.
    kvr::WriteProfileString("ComSetting", "Baud", "fast");
    kvr::WriteProfileString("ComSetting", "Parity", "7");
    kvr::WriteProfileString("ComSetting", "Attempts", "3x");
    CXCom().GetComm(&param);
    EXPECT_EQ(param.baud, 9600);
    EXPECT_EQ(param.parity, 0);
    EXPECT_EQ(param.attempts, 3);
    EXPECT_EQ(param.address, 12);
}

TEST_F(SettingsTest, SerialDialogReturnsWhatItShows) {
    kvr::ComParam start;
    start.device = "/dev/ttyUSB3";
    start.baud = 38400;
    start.parity = 1;
    CComDlg dialog(start, Language::kChinese);
    EXPECT_EQ(dialog.PortBox()->currentText(), "/dev/ttyUSB3");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("串口参数设置"));
    EXPECT_EQ(CComDlg(start, Language::kEnglish).windowTitle(),
              QStringLiteral("Serial Port Settings"));

    dialog.PortBox()->setCurrentText("  /tmp/kvr-sim-link  ");  // a typed pseudo-terminal link
    const QList<QSpinBox*> spins = dialog.findChildren<QSpinBox*>();
    ASSERT_EQ(spins.size(), 7);  // address, five timeout bases, attempts
    spins[0]->setValue(7);
    const kvr::ComParam shown = dialog.Param();
    EXPECT_EQ(shown.device, "/tmp/kvr-sim-link");
    EXPECT_EQ(shown.baud, 38400);
    EXPECT_EQ(shown.parity, 1);
    EXPECT_EQ(shown.address, 7);
    EXPECT_EQ(shown.attempts, start.attempts);
}

TEST_F(SettingsTest, SettingsDialogsTellTheUserInTheirLanguage) {
    guitest::MessageRecorder messages;
    // A refused field keeps the dialog open, with the message in its language.
    CComDlg dialog(kvr::ComParam{}, Language::kEnglish);
    dialog.PortBox()->setCurrentText("  ");
    dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text,
              QStringLiteral("Please choose or type the path of the serial device."));
    EXPECT_EQ(messages.Shown()[0].caption, QStringLiteral("Notice"));
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    // Running a dialog: kept only on OK, and a failed write is reported, never taken for kept.
    struct Case {
        bool ok;
        bool written;
        int result;
        bool reported;
    };
    for (const Case c :
         {Case{false, true, 0, false}, Case{true, true, 1, false}, Case{true, false, 0, true}}) {
        messages.Clear();
        QDialog settings;
        guitest::WhenModal([ok = c.ok](QWidget* modal) {
            ok ? static_cast<QDialog*>(modal)->accept() : static_cast<QDialog*>(modal)->reject();
        });
        bool asked = false;
        const int result = RunSettingsDialog(
            settings,
            [&asked, written = c.written] {
                asked = true;
                return written;
            },
            Language::kChinese);
        EXPECT_EQ(result, c.result) << c.ok << c.written;
        EXPECT_EQ(asked, c.ok) << c.ok << c.written;
        ASSERT_EQ(messages.Shown().size(), c.reported ? 1u : 0u) << c.ok << c.written;
        if (!c.reported) continue;
        EXPECT_TRUE(messages.Shown()[0].text.startsWith(QStringLiteral("无法把设置保存到 ")));
        EXPECT_EQ(messages.Shown()[0].caption, NoticeCaption());
    }
}

TEST_F(SettingsTest, DisplayDefaultsRoundTripAndRejectEmptyRanges) {
    kvr::ViewDef view;
    CXViewDef().GetView(&view);
    const kvr::ViewDef defaults;
    EXPECT_EQ(view.realtimeInterval, 60);
    EXPECT_EQ(view.gridColor, defaults.gridColor);

    view.xMode = 1;
    view.yMode = 1;
    view.yLow = -12.5f;
    view.yHigh = 250.25f;
    view.gridCount1 = 8;
    view.gridCount2 = 4;
    view.gridColor = 0x00112233;
    view.backgroundColor = 0x00FFFFFF;
    for (int i = 0; i < 8; ++i) view.curveColors[i] = 0x00010101u * static_cast<unsigned>(i + 1);
    view.realtimeInterval = 5;
    ASSERT_TRUE(CXViewDef::KeepView(view));
    kvr::ViewDef read;
    CXViewDef().GetView(&read);
    const auto settings = [](const kvr::ViewDef& v) {
        return std::make_tuple(
            v.xMode, v.yMode, v.yLow, v.yHigh, v.gridCount1, v.gridCount2, v.gridColor,
            v.backgroundColor, v.realtimeInterval,
            std::vector<unsigned>(std::begin(v.curveColors), std::end(v.curveColors)));
    };
    // The values chosen are exact in a float, so they must come back exactly.
    EXPECT_EQ(settings(read), settings(view));

    // An empty value range or a zero interval would break every new file.
    kvr::WriteProfileString("ViewSetting", "YHigh", "-20");
    kvr::WriteProfileString("ViewSetting", "RealtimeInterval", "0");
    CXViewDef().GetView(&read);
    EXPECT_FLOAT_EQ(read.yLow, defaults.yLow);
    EXPECT_FLOAT_EQ(read.yHigh, defaults.yHigh);
    EXPECT_EQ(read.realtimeInterval, 60);
}

TEST_F(SettingsTest, SerialPortsListedInNumberOrder) {
    const kvrtest::TempDir dev;
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB0", "ttyACM1", "tty0", "console", "ttyS0"})
        guitest::WriteBytes(dev.file(name), {});
    const QString root = guitest::Q(dev.path());
    EXPECT_EQ(SerialPortNames(root),
              (QStringList{root + "/ttyACM1", root + "/ttyS0", root + "/ttyS2", root + "/ttyS10",
                           root + "/ttyUSB0"}));
}

}  // namespace
