// The upload dialog driven like a user would, against kvr-sim on a pseudo-terminal: the
// files it writes, the messages it shows and in which order, cancel and close while busy.
#include <sys/stat.h>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QtTest/QTest>

#include <cstring>
#include <memory>
#include <optional>

#include "core/link/link_texts.h"
#include "gui/upload/upload_dlg.h"
#include "gui/upload/upload_relay.h"
#include "support/gui_test_support.h"
#include "support/pty_pair.h"
#include "support/sim_process.h"

namespace {

using guitest::Child;
using guitest::MessageRecorder;
using kvrtest::SimProcess;

constexpr int kWaitMs = 60000;
// What the scan of the RTU-identified recorder asks: the unanswered ASCII identification,
// the RTU identification and the time range.
constexpr int kRtuScanRequests = 3;

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::uint32_t U32(const std::string& f, std::size_t at) {
    std::uint32_t v = 0;
    if (at + 4 <= f.size()) std::memcpy(&v, f.data() + at, 4);
    return v;
}

// "YYYY-MM-DD HH:MM:SS" for kvrtool.
std::string Quoted(kvr::Time t) { return "\"" + kvr::FormatTime(t) + "\""; }

class UploadDlgTest : public ::testing::Test {
protected:
    // Opens the dialog on the simulator and waits for its first scan.
    // The baud rate sets the speed the remaining time is estimated with; the timeouts stay
    // those of the test line.
    CUploadDlg& Open(const SimProcess& sim, int baud = 57600, int address = 1) {
        EXPECT_TRUE(sim.Running());
        kvr::ComParam param = kvrtest::TestParams(sim.Path());
        param.address = address;
        if (baud != param.baud) {
            param.intervalBase = param.intervalBase * baud / param.baud;
            param.constantBase = param.constantBase * baud / param.baud;
            param.writeConstantBase = param.writeConstantBase * baud / param.baud;
            param.baud = baud;
        }
        dialog = std::make_unique<CUploadDlg>(param, kvr::ViewDef{},
                                              QString::fromStdString(folder.path()));
        dialog->Session().Link().SetDelayScale(0);
        dialog->SetSaveNameChooser([this](QWidget*, const QString& proposed) {
            proposedPaths << proposed;
            return QString::fromStdString(savePath);
        });
        dialog->show();
        EXPECT_EQ(Label("rangeText"), QString::fromUtf8(kvr::texts::kReadingTimeParameters));
        EXPECT_FALSE(Button("cancelButton")->isEnabled());
        EXPECT_TRUE(QTest::qWaitFor(
            [&] {
                return Label("rangeText") != QString::fromUtf8(kvr::texts::kReadingTimeParameters);
            },
            kWaitMs));
        return *dialog;
    }
    QString Label(const char* name) { return Child<QLabel>(dialog.get(), name)->text(); }
    QPushButton* Button(const char* name) { return Child<QPushButton>(dialog.get(), name); }
    DateTimePickers Pickers(const char* prefix) {
        DateTimePickers p;
        p.date = Child<QDateEdit>(dialog.get(), (std::string(prefix) + "Date").c_str());
        p.time = Child<QTimeEdit>(dialog.get(), (std::string(prefix) + "Time").c_str());
        return p;
    }
    void Choose(kvr::Time start, kvr::Time end) {
        Pickers("start").Set(start);
        Pickers("end").Set(end);
    }
    // Presses Upload and waits until the dialog is idle again.
    void Upload() {
        QTest::mouseClick(Button("uploadButton"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->IsBusy(); }, kWaitMs));
    }
    const kvr::ScanResult& Scan() { return dialog->Session().LastScan(); }

    kvrtest::TempDir folder;
    MessageRecorder messages{QMessageBox::Ok};
    std::unique_ptr<CUploadDlg> dialog;
    std::string savePath = folder.file("upload.FDZ");
    QStringList proposedPaths;
};

TEST_F(UploadDlgTest, BothFamiliesWriteWhatKvrtoolWrites) {
    const struct {
        const char* family;
        int address;
        int interval;
    } cases[] = {{"ascii0", 7, 30}, {"rtu", 12, 60}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.family);
        SimProcess sim({std::string("--family=") + c.family, "--records=5000", "--channels=3",
                        "--address=" + std::to_string(c.address)});
        Open(sim, 57600, c.address);
        ASSERT_TRUE(Scan().timeParameters);
        // The pickers offer the newest hour.
        EXPECT_EQ(Pickers("end").Get(), Scan().newest);
        EXPECT_EQ(Pickers("start").Get(), Scan().newest - 3600);
        const kvr::Time start = Scan().newest - 200 * c.interval;
        const kvr::Time end = Scan().newest - 20 * c.interval;
        Choose(start, end);
        Upload();

        ASSERT_EQ(proposedPaths.size(), 1);
        std::string stamp = kvr::FormatTime(end);
        stamp[13] = stamp[16] = '_';
        EXPECT_EQ(
            proposedPaths.back(),
            QString::fromStdString(folder.file((c.address < 10 ? "00" : "0") +
                                               std::to_string(c.address) + "@" + stamp + ".FDZ")));
        ASSERT_EQ(messages.Shown().size(), 1u);
        const MessageBoxRequest& notice = messages.Shown().back();
        EXPECT_EQ(notice.icon, QMessageBox::Information);
        EXPECT_EQ(notice.caption, QStringLiteral("提示..."));
        EXPECT_TRUE(notice.text.startsWith(QStringLiteral("文件上传完成!\n开始时间:")))
            << notice.text.toStdString();
        EXPECT_TRUE(notice.text.contains(QStringLiteral("\n速    度:")))
            << notice.text.toStdString();
        EXPECT_TRUE(notice.text.endsWith(QString::fromStdString(savePath)))
            << "the notice says where the file is";
        EXPECT_TRUE(Button("uploadButton")->isEnabled());
        EXPECT_FALSE(Button("cancelButton")->isEnabled());
        EXPECT_FALSE(Child<QCheckBox>(dialog.get(), "openFile")->isVisible())
            << "upload files cannot be opened, so opening one is not offered";
        dialog.reset();  // releases the port

        const std::string reference = folder.file(std::string("kvrtool-") + c.family + ".FDZ");
        const kvrtest::CommandResult tool = kvrtest::RunTool(
            "kvrtool",
            "upload --port " + sim.Path() + " --address " + std::to_string(c.address) +
                " --baud 57600 --interval-timeout 20 --total-timeout 300 --write-timeout 300"
                " --delay-scale 0 --from " +
                Quoted(start) + " --to " + Quoted(end) + " --out " + reference);
        ASSERT_EQ(tool.exitCode, 0) << tool.err;
        const std::string written = kvrtest::ReadWholeFile(savePath);
        EXPECT_GT(written.size(), 0x140u);
        EXPECT_TRUE(written == kvrtest::ReadWholeFile(reference)) << "the files differ";
        messages.Clear();
        proposedPaths.clear();
    }
}

TEST_F(UploadDlgTest, RangesAreCheckedInOrderAndSnappedToTheRecordGrid) {
    SimProcess sim({"--family=ascii1", "--records=5000", "--channels=2"});
    Open(sim);
    const kvr::Time oldest = Scan().oldest, newest = Scan().newest;
    const int interval = Scan().interval;
    const struct {
        kvr::Time start, end;
        const char* message;
    } refused[] = {
        {oldest - 10, oldest - 20, kvr::texts::kStartAfterEnd},    // also before the oldest
        {oldest - 10, newest + 10, kvr::texts::kStartOutOfRange},  // also after the newest
        {oldest, newest + 10, kvr::texts::kEndOutOfRange},
    };
    for (const auto& r : refused) {
        Choose(r.start, r.end);
        Upload();
        ASSERT_EQ(messages.Shown().size(), 1u) << r.message;
        EXPECT_EQ(messages.Texts().front(), QString::fromUtf8(r.message));
        EXPECT_TRUE(proposedPaths.isEmpty()) << "no file name is asked for";
        EXPECT_TRUE(Button("uploadButton")->isEnabled());
        messages.Clear();
    }
    EXPECT_FALSE(FileExists(savePath));

    // After a refusal the corrected range uploads. Start equal to end: one record; a start
    // between two record times moves to the later one.
    const kvr::Time record = newest - 10 * interval;
    Choose(record - interval + 5, record - interval + 5);
    Upload();
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_EQ(messages.Texts().front(), QString::fromUtf8(kvr::texts::kNoRecordInRange))
        << "snapped, the range between two records holds none";
    messages.Clear();
    Choose(record - interval + 5, record);
    Upload();
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_TRUE(messages.Texts().front().startsWith(QStringLiteral("文件上传完成!")))
        << messages.Texts().front().toStdString();
    const std::string f = kvrtest::ReadWholeFile(savePath);
    EXPECT_EQ(U32(f, 0x5E), 1u) << "one record";
    ASSERT_EQ(f.size(), 0x140u + 160 * 2 + 2 * 2);
    const kvr::Stamp first = kvr::TimeToStamp(record);
    EXPECT_EQ(f.substr(0x30, 6), std::string(first.begin(), first.end()));
}

TEST_F(UploadDlgTest, UploadAllDisablesThePickers) {
    SimProcess sim({"--family=ascii0", "--records=300", "--channels=1"});
    Open(sim);
    auto* all = Child<QCheckBox>(dialog.get(), "uploadAll");
    EXPECT_FALSE(all->isChecked());
    all->click();
    EXPECT_FALSE(Pickers("start").date->isEnabled());
    EXPECT_FALSE(Pickers("end").time->isEnabled());
    all->click();
    EXPECT_TRUE(Pickers("start").time->isEnabled());
}

TEST_F(UploadDlgTest, CancelWhileBusyDeletesTheFileAndClosingIsIgnored) {
    // At 9600 baud the whole recorder is estimated at well over an hour.
    SimProcess sim({"--family=rtu", "--channels=6"});
    Open(sim, 9600);
    Child<QCheckBox>(dialog.get(), "uploadAll")->click();
    QStringList remaining;
    bool checkedWhileBusy = false;
    auto* relay = dialog->findChild<UploadRelay*>();
    ASSERT_NE(relay, nullptr);
    QObject::connect(relay, &UploadRelay::remainingText, dialog.get(), [&](const QString& text) {
        remaining << text;
        if (checkedWhileBusy) return;
        checkedWhileBusy = true;
        EXPECT_FALSE(dialog->close());
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        EXPECT_TRUE(dialog->isVisible()) << "closing while busy does nothing";
        EXPECT_FALSE(Button("refreshButton")->isEnabled());
        QTest::mouseClick(Button("cancelButton"), Qt::LeftButton);
        EXPECT_FALSE(Button("cancelButton")->isEnabled());
    });
    Upload();
    EXPECT_TRUE(checkedWhileBusy);
    EXPECT_FALSE(FileExists(savePath));
    EXPECT_TRUE(messages.Shown().empty()) << "a cancel is not announced";
    EXPECT_EQ(Child<QProgressBar>(dialog.get(), "progress")->value(), 0);
    EXPECT_TRUE(Button("uploadButton")->isEnabled());
    EXPECT_TRUE(Button("refreshButton")->isEnabled());
    ASSERT_FALSE(remaining.isEmpty());
    // 266240 records of 6 channels at 530 bytes a second.
    EXPECT_EQ(remaining.front(), QStringLiteral("估计剩余时间:1小时40分"));
    EXPECT_EQ(Label("remainingText"), QString::fromUtf8(kvr::texts::kRemainingTime));
    EXPECT_TRUE(dialog->close()) << "idle again, the dialog closes";
}

TEST_F(UploadDlgTest, RemainingTimeCountsDownInMinutesThenSeconds) {
    SimProcess sim({"--family=ascii0", "--records=5000", "--channels=6"});
    Open(sim, 9600);
    QStringList remaining;
    QObject::connect(dialog->findChild<UploadRelay*>(), &UploadRelay::remainingText, dialog.get(),
                     [&](const QString& text) { remaining << text; });
    // 3000 records of 6 channels: 36000 bytes at 530 bytes a second.
    Choose(Scan().newest - 2999 * Scan().interval, Scan().newest);
    Upload();
    ASSERT_FALSE(remaining.isEmpty());
    EXPECT_EQ(remaining.front(), QStringLiteral("估计剩余时间:1分7秒"));
    EXPECT_EQ(remaining.back(), QStringLiteral("估计剩余时间:1秒"));
    EXPECT_EQ(Label("remainingText"), remaining.back());
    const auto* bar = Child<QProgressBar>(dialog.get(), "progress");
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_EQ(bar->maximum(), 24 * 6) << "one step per block and channel";

    // The next run starts from an empty bar, not from where this one ended.
    std::optional<std::pair<int, QString>> atNextStart;
    QObject::connect(dialog->findChild<UploadRelay*>(), &UploadRelay::progressRange, dialog.get(),
                     [&](int) {
                         if (!atNextStart) atNextStart = {{bar->value(), Label("remainingText")}};
                     });
    Upload();
    ASSERT_TRUE(atNextStart);
    EXPECT_EQ(atNextStart->first, 0);
    EXPECT_EQ(atNextStart->second, QString::fromUtf8(kvr::texts::kRemainingTime));
}

TEST_F(UploadDlgTest, SilentInstrumentEndsInCommunicationFailedWithNoFile) {
    // Silent once the configuration is read: every record request goes unanswered.
    SimProcess sim({"--family=rtu", "--silent-after=16"});
    Open(sim);
    Upload();
    EXPECT_EQ(messages.Texts(), QStringList{QString::fromUtf8(kvr::texts::kCommunicationFailed)});
    EXPECT_FALSE(FileExists(savePath));
    EXPECT_TRUE(Button("uploadButton")->isEnabled());
}

TEST_F(UploadDlgTest, FailedAddressReadIsReportedAndUploadStaysUsable) {
    // The scan is answered, the address read before the file name is not.
    SimProcess sim({"--family=rtu", "--silent-after=" + std::to_string(kRtuScanRequests)});
    Open(sim);
    ASSERT_TRUE(Scan().timeParameters);
    Upload();
    EXPECT_EQ(messages.Texts(), QStringList{QString::fromUtf8(kvr::texts::kCommunicationFailed)});
    EXPECT_TRUE(proposedPaths.isEmpty());
    EXPECT_TRUE(Button("uploadButton")->isEnabled());
}

TEST_F(UploadDlgTest, WithoutAScanUploadRescansAndSaysCommunicationFailed) {
    SimProcess sim({"--family=rtu", "--silent-after=0"});
    Open(sim);
    EXPECT_EQ(Label("rangeText"), QString::fromUtf8(kvr::texts::kCommunicationFailed));
    // The window keeps answering while a silent line is scanned, and will not close then.
    bool busyInLoop = false, closedInLoop = true;
    QTimer::singleShot(0, dialog.get(), [&] {
        busyInLoop = dialog->IsBusy();
        closedInLoop = dialog->close();
    });
    QTest::mouseClick(Button("refreshButton"), Qt::LeftButton);
    EXPECT_FALSE(Button("uploadButton")->isEnabled());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !dialog->IsBusy(); }, kWaitMs));
    EXPECT_TRUE(busyInLoop);
    EXPECT_FALSE(closedInLoop);
    EXPECT_TRUE(Button("uploadButton")->isEnabled());
    Upload();
    EXPECT_EQ(messages.Texts(), QStringList{QString::fromUtf8(kvr::texts::kCommunicationFailed)});
    EXPECT_TRUE(proposedPaths.isEmpty());
    EXPECT_TRUE(Button("uploadButton")->isEnabled());
}

}  // namespace
