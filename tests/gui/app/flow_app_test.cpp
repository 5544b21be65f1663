// Start-up as a single instance, the hand-over between two programs, settings and the
// language switch.
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "core/settings/last_dir.h"
#include "core/settings/profile.h"
#include "gui/app/child_frame.h"
#include "gui/app/command_actions.h"
#include "gui/app/main_frame.h"
#include "gui/app/single_instance.h"
#include "gui/common/command_ids.h"
#include "gui/common/language.h"
#include "gui/common/printer_setup.h"
#include "support/gui_test_support.h"
#include "widgets/file_dialog_locale.h"

namespace {

using guitest::Q;

constexpr int kProcessTimeoutMs = 30000;

class FlowAppTest : public guitest::ProgramFolderTest {
protected:
    void TearDown() override {
        SetProgramLanguage(Language::kChinese);
        ProgramFolderTest::TearDown();
    }

    // A KVR process on this test's program folder, without a display.
    std::unique_ptr<QProcess> StartProgram(const QStringList& arguments,
                                           const QString& workingDir = {}) {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KVR_PROGRAM_FOLDER", Q(Folder().path()));
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process->setProcessEnvironment(environment);
        if (!workingDir.isEmpty()) process->setWorkingDirectory(workingDir);
        process->start(QStringLiteral(KVR_PROGRAM), arguments);
        EXPECT_TRUE(process->waitForStarted(kProcessTimeoutMs));
        return process;
    }

    // Whether a program of this folder takes hand-overs right now.
    bool SomeoneListens() const {
        QLocalSocket probe;
        probe.connectToServer(SingleInstance(Q(kvr::GetProgramFolder())).ServerName());
        return probe.waitForConnected(1000);
    }

    static bool Ended(QProcess& process) {
        return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; },
                               kProcessTimeoutMs);
    }
};

TEST_F(FlowAppTest, LastDirDefaultsToTheDataFolder) {
    ASSERT_FALSE(QFileInfo::exists(Q(kvr::ConfigPath())));
    const std::string dataFolder = Folder().path() + "/Data";
    EXPECT_EQ(kvr::ReadLastDir(), dataFolder);
    EXPECT_TRUE(QFileInfo(Q(dataFolder)).isDir());
}

TEST_F(FlowAppTest, SecondStartHandsItsFileToTheRunningWindow) {
    const std::string sample = guitest::MakeSample(Folder(), "handed.FDZ");
    CFlowApp running;
    ASSERT_TRUE(running.InitInstance({}));
    CMainFrame* frame = running.MainFrame();
    frame->showMinimized();

    // Given relative to its own folder; the running program has another one.
    auto second = StartProgram({"handed.FDZ"}, Q(Folder().path()));
    ASSERT_TRUE(Ended(*second));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(kvr::ReadLastDir(), sample);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Frames().size() == 1; }, kProcessTimeoutMs));
    EXPECT_EQ(frame->Frames()[0]->windowTitle(),
              QStringLiteral("历史趋势曲线 [%1]").arg(Q(sample)));
    EXPECT_TRUE(frame->isMaximized());

    // Without a path the running program opens the last file again.
    auto third = StartProgram({});
    ASSERT_TRUE(Ended(*third));
    EXPECT_EQ(third->exitCode(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return frame->Frames().size() == 2; }, kProcessTimeoutMs));
    EXPECT_EQ(frame->Frames()[1]->windowTitle(), frame->Frames()[0]->windowTitle());
}

TEST_F(FlowAppTest, TwoProgramsKeepOneWindowAndSurviveACrash) {
    const std::string sample = guitest::MakeSample(Folder(), "second.FDZ");
    auto first = StartProgram({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return SomeoneListens(); }, kProcessTimeoutMs));

    auto second = StartProgram({Q(sample)});
    ASSERT_TRUE(Ended(*second));  // a window of its own would keep it running
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(first->state(), QProcess::Running);
    EXPECT_EQ(kvr::ReadLastDir(), sample);

    // A program killed outright leaves its socket behind; the next start still takes over.
    first->kill();
    ASSERT_TRUE(Ended(*first));
    auto next = StartProgram({});
    ASSERT_TRUE(QTest::qWaitFor([&] { return SomeoneListens(); }, kProcessTimeoutMs));
    EXPECT_EQ(next->state(), QProcess::Running);
    next->kill();
    Ended(*next);
    QLocalServer::removeServer(SingleInstance(Q(kvr::GetProgramFolder())).ServerName());
}

TEST_F(FlowAppTest, LanguageSwitchKeepsTheChoiceAndRestarts) {
    int restarts = 0;
    {
        CFlowApp app;
        app.SetRestarter([&] { return ++restarts, true; });
        ASSERT_TRUE(app.InitInstance({}));
        CommandActions& actions = app.MainFrame()->Actions();
        actions.UpdateStates();
        EXPECT_TRUE(actions.Action(cmd::kChinese)->isChecked());
        EXPECT_FALSE(actions.Action(cmd::kEnglish)->isChecked());

        actions.Action(cmd::kEnglish)->trigger();
        EXPECT_EQ(restarts, 1);
        EXPECT_FALSE(app.MainFrame()->isVisible());
        EXPECT_EQ(kvr::ReadProfileString("LanguageSetting", "Language", ""), "1");
    }
    // The restarted program reads the choice: English help, English checked.
    SetProgramLanguage(Language::kChinese);
    CFlowApp restarted;
    ASSERT_TRUE(restarted.InitInstance({}));
    EXPECT_EQ(ProgramLanguage(), Language::kEnglish);
    restarted.MainFrame()->UpdateCommandStates();
    EXPECT_TRUE(restarted.MainFrame()->Actions().Action(cmd::kEnglish)->isChecked());
    EXPECT_TRUE(CFlowApp::HelpFilePath(Language::kEnglish).endsWith("index-en.html"));
    EXPECT_TRUE(CFlowApp::HelpFilePath(Language::kChinese).endsWith("index-zh.html"));
}

TEST(DefaultPrinter, OrientationChangesOnlyForOneAndTwo) {
    guitest::App();
    SetDefaultPrinterOrientation(2);
    EXPECT_EQ(DefaultPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    SetDefaultPrinterOrientation(0);
    SetDefaultPrinterOrientation(3);
    EXPECT_EQ(DefaultPrinter().pageLayout().orientation(), QPageLayout::Landscape);
    SetDefaultPrinterOrientation(1);
    EXPECT_EQ(DefaultPrinter().pageLayout().orientation(), QPageLayout::Portrait);
}

TEST_F(FlowAppTest, ScreenshotShowsTheOpenedFile) {
    const std::string sample = guitest::MakeSample(Folder(), "shot.FDZ");
    const QString png = Q(Folder().file("shot.png"));
    auto shot = StartProgram({"--screenshot", png, Q(sample)});
    ASSERT_TRUE(Ended(*shot));
    EXPECT_EQ(shot->exitCode(), 0) << shot->readAllStandardError().toStdString();
    EXPECT_TRUE(shot->readAllStandardOutput().contains(png.toUtf8()));
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(1600, 1000));
    EXPECT_EQ(kvr::ReadLastDir(), sample);  // opened as a user would
}

}  // namespace

TEST(QtTexts, FollowTheProgramLanguage) {
    guitest::App();
    const auto yesText = [] {
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return box.button(QMessageBox::Yes)->text() + box.button(QMessageBox::No)->text() +
               box.button(QMessageBox::Cancel)->text();
    };
    const QLocale before;
    ASSERT_TRUE(InstallQtTranslations(Language::kChinese)) << "Qt's translations are not installed";
    const QString chinese = yesText();
    EXPECT_TRUE(chinese.contains(QStringLiteral("是")) && chinese.contains(QStringLiteral("否")) &&
                chinese.contains(QStringLiteral("取消")))
        << chinese.toStdString();

    // The file dialogs list their dates the Chinese way too, whatever the system's locale.
    kvrtest::TempDir folder;
    const QString file = QString::fromStdString(folder.file("day.FDZ"));
    {
        QFile touched(file);
        ASSERT_TRUE(touched.open(QIODevice::WriteOnly));
    }
    {
        QFileDialog dialog(nullptr, QStringLiteral("Open"), QString::fromStdString(folder.path()));
        UseProgramLocale(dialog);
        auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(list, nullptr);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) == 1; }));
        const QString shown = list->model()->index(0, 3, list->rootIndex()).data().toString();
        EXPECT_EQ(shown, QLocale(QLocale::Chinese, QLocale::China)
                             .toString(QFileInfo(file).lastModified(), QLocale::ShortFormat));
    }

    EXPECT_TRUE(InstallQtTranslations(Language::kEnglish));
    EXPECT_TRUE(yesText().contains(QStringLiteral("Yes"))) << yesText().toStdString();
    QLocale::setDefault(before);
}
