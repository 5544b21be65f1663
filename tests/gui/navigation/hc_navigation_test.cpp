// The history curves' marks and navigation commands, in a history view and in the program's
// main frame: tags at the cursor, the dialogs, the search, and the data list window.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimeEdit>

#include "core/datafile/program.h"
#include "gui/app/main_frame.h"
#include "gui/app/mdi_background.h"
#include "gui/common/command_ids.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "support/gui_test_support.h"

using guitest::Child;
using guitest::SetPickers;
using kvr::Time;
using kvrtest::SampleStart;

namespace {

class HistoryNavigationTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto file = kvrtest::OpenSampleFile(dir_, kvrtest::SampleRecords(100, 60, 0), "curves.FDZ");
        ASSERT_TRUE(file);
        path_ = dir_.file("curves.FDZ");
        view_ = std::make_unique<CHCView>();
        view_->resize(1200, 700);
        view_->show();
        view_->SetFile(file.release());
    }
    CXCurveCtrl* Curve() const { return view_->CurveCtrl(); }
    kvr::CXFile* File() const { return view_->GetFile(); }

    kvrtest::TempDir dir_;
    std::string path_;
    std::unique_ptr<CHCView> view_;
    guitest::MessageRecorder messages_;
};

}  // namespace

TEST_F(HistoryNavigationTest, TagsAtTheCursorPersistAndAreDrawn) {
    Curve()->GoTo(SampleStart() + 30 * 60);
    ASSERT_TRUE(view_->IsCommandEnabled(cmd::kAddTag));
    view_->ExecuteCommand(cmd::kAddTag);
    ASSERT_EQ(File()->GetTagCount(), 1);
    EXPECT_EQ(File()->GetTag(0), SampleStart() + 30 * 60);

    // Selection mode: the command is off and the cursor time reads 0, which the file refuses.
    Curve()->SetSelectMode(1);
    EXPECT_FALSE(view_->IsCommandEnabled(cmd::kAddTag));
    view_->ExecuteCommand(cmd::kAddTag);
    EXPECT_EQ(File()->AddTag(Curve()->GetCursorTime()), 0);
    EXPECT_EQ(File()->AddTag(File()->GetEndTime() + 60), 0) << "outside the file";
    EXPECT_EQ(File()->GetTagCount(), 1);

    // The tag is a full-height line in the plot, away from the cursor.
    Curve()->GoTo(SampleStart() + 80 * 60);
    const QImage shot = Curve()->grab().toImage();
    const QRect plot = Curve()->PlotRect();
    const int x = plot.left() + Curve()->TimeToPixel(SampleStart() + 30 * 60, Curve()->PlotWidth());
    int lit = 0;
    for (int y = plot.top(); y <= plot.bottom(); ++y)
        if (shot.pixelColor(x, y).lightness() > 200) ++lit;
    EXPECT_GT(lit, plot.height() * 9 / 10);

    view_.reset();  // closes the file
    kvr::CXFile reopened;
    ASSERT_EQ(reopened.Open(path_), 1);
    ASSERT_EQ(reopened.GetTagCount(), 1);
    EXPECT_EQ(reopened.GetTag(0), SampleStart() + 30 * 60);
}

TEST_F(HistoryNavigationTest, GoToRangeAndFindMoveTheCurves) {
    guitest::WhenModal([](QWidget* dialog) {
        SetPickers(dialog, "goto", SampleStart() + 20 * 60 + 59);
        Child<QPushButton>(dialog, "jumpButton")->click();
    });
    view_->ExecuteCommand(cmd::kGoTo);
    EXPECT_EQ(Curve()->GetCursorTime(), SampleStart() + 20 * 60);

    guitest::WhenModal([](QWidget* dialog) {
        SetPickers(dialog, "start", SampleStart() + 10 * 60);
        SetPickers(dialog, "end", SampleStart() + 40 * 60);
        Child<QPushButton>(dialog, "okButton")->click();
    });
    view_->ExecuteCommand(cmd::kRange);
    EXPECT_EQ(Curve()->GetWindowRange(),
              std::make_pair(SampleStart() + 10 * 60, SampleStart() + 40 * 60));
    EXPECT_TRUE(StatusText(5).startsWith(QStringLiteral("总时间:0小时30分0秒")))
        << StatusText(5).toStdString();

    // A fresh search of the curves tests its first record: record 0 holds 0 on channel 1.
    EXPECT_FALSE(view_->IsCommandEnabled(cmd::kFindNext));
    guitest::WhenModal([](QWidget* dialog) {
        Child<QLineEdit>(dialog, "valueEdit")->setText(QStringLiteral("0"));
        Child<QComboBox>(dialog, "channelList")->setCurrentIndex(1);
        Child<QPushButton>(dialog, "findNextButton")->click();
        dialog->close();
    });
    view_->ExecuteCommand(cmd::kFind);
    EXPECT_TRUE(messages_.Texts().isEmpty());
    EXPECT_EQ(Curve()->GetCursorTime(), SampleStart());
    EXPECT_TRUE(view_->IsCommandEnabled(cmd::kFindNext));
    view_->ExecuteCommand(cmd::kFindNext);
    EXPECT_EQ(messages_.Texts(), QStringList{QStringLiteral("数据未找到！")});
    EXPECT_EQ(Curve()->GetCursorTime(), SampleStart()) << "nothing moves";
}

TEST_F(HistoryNavigationTest, ValueLabelsAreKeptWithTheOpenFile) {
    guitest::WhenModal([](QWidget* dialog) {
        Child<QLineEdit>(dialog, "nameEdit1")->setText(QStringLiteral("低限"));
        Child<QLineEdit>(dialog, "valueEdit1")->setText(QStringLiteral("4"));
        Child<QAbstractButton>(dialog, "shownBox1")->click();
        Child<QPushButton>(dialog, "okButton")->click();
    });
    view_->ExecuteCommand(cmd::kValueLabel);
    EXPECT_EQ(File()->Header().labels[1].shown, 1);
    EXPECT_EQ(File()->Header().labels[1].value, 4.0f);
    EXPECT_TRUE(messages_.Texts().isEmpty());
}

TEST(HistoryDataList, OpensOnceInItsOwnChildWindow) {
    guitest::App();
    kvrtest::TempDir dir;
    kvr::SetProgramFolder(dir.path());
    kvr::SampleOptions options = kvrtest::SampleRecords(100);
    const std::string path = dir.file("list.FDZ");
    ASSERT_TRUE(kvr::WriteSampleFile(path, options));
    {
        CMainFrame frame;
        frame.resize(1400, 900);
        frame.show();
        frame.OpenDataFile(QString::fromStdString(path));
        ASSERT_EQ(frame.Frames().size(), 1);
        CChildFrame* history = frame.Frames().front();
        auto* view = qobject_cast<CHCView*>(history->View());
        ASSERT_NE(view, nullptr);

        view->ExecuteCommand(cmd::kDataList);
        ASSERT_EQ(frame.Frames().size(), 2);
        CChildFrame* list = frame.ActiveFrame();
        ASSERT_NE(list, history);
        EXPECT_EQ(list->windowTitle(),
                  QStringLiteral("历史数据列表 [%1]").arg(QString::fromStdString(path)));
        auto* listView = qobject_cast<CXListView*>(list->View());
        ASSERT_NE(listView, nullptr);
        EXPECT_EQ(listView->GetFile(), view->GetFile());
        EXPECT_TRUE(listView->IsCommandEnabled(cmd::kFind)) << "a history list";
        // Opened maximised, its title joins the program's like every other child window.
        EXPECT_TRUE(list->isMaximized());
        EXPECT_TRUE(frame.windowTitle().endsWith(QStringLiteral("[%1]").arg(list->windowTitle())));

        // A second time brings the same window forward.
        frame.MdiArea()->setActiveSubWindow(history);
        view->ExecuteCommand(cmd::kDataList);
        EXPECT_EQ(frame.Frames().size(), 2);
        EXPECT_EQ(frame.ActiveFrame(), list);
        EXPECT_TRUE(list->isMaximized()) << "brought forward, still maximised";

        // The list and the curves share one search.
        listView->Grid()->GoToTime(SampleStart() + 50 * 60);
        EXPECT_FALSE(view->IsCommandEnabled(cmd::kFindNext));

        // Closing the curves closes their list.
        delete history;
        QApplication::processEvents();
        EXPECT_TRUE(frame.Frames().isEmpty());
    }
    kvr::SetProgramFolder("");
}
