// The go-to, range and find dialogs as a user drives them, and the list's search.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimeEdit>

#include "core/view/find_search.h"
#include "gui/common/command_ids.h"
#include "gui/history/range_dlg.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "gui/navigation/find_dlg.h"
#include "gui/navigation/goto_dlg.h"
#include "gui/navigation/tag_list.h"
#include "support/gui_test_support.h"

using guitest::Child;
using guitest::SetPickers;
using kvr::Time;
using kvrtest::SampleStart;

namespace {

void Click(QWidget* dialog, const char* name) { Child<QAbstractButton>(dialog, name)->click(); }

class NavigationDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        kvr::SampleOptions options = kvrtest::SampleRecords(100, 60, 3);
        file_ = kvrtest::OpenSampleFile(dir_, options);
        ASSERT_TRUE(file_);
    }
    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    guitest::MessageRecorder messages_;
};

}  // namespace

TEST_F(NavigationDialogTest, GoToSnapsTimesAndRefusesOutsideTheFile) {
    CGoToDlg dialog(*file_);
    dialog.show();
    EXPECT_EQ(Child<QDateEdit>(&dialog, "gotoDate")->date(), QDate(2026, 1, 5));
    EXPECT_TRUE(Child<QDateEdit>(&dialog, "gotoDate")->isEnabled());
    EXPECT_FALSE(Child<CTagList>(&dialog, "tagList")->isEnabled());

    SetPickers(&dialog, "goto", SampleStart() - 1);
    Click(&dialog, "jumpButton");
    EXPECT_TRUE(dialog.isVisible()) << "refused, the dialog stays";
    ASSERT_EQ(messages_.Shown().size(), 1u);
    EXPECT_EQ(messages_.Shown()[0].text, QStringLiteral("时间设置有误！"));
    EXPECT_EQ(messages_.Shown()[0].caption, QStringLiteral("提示..."));
    EXPECT_EQ(messages_.Shown()[0].icon, QMessageBox::Critical);

    SetPickers(&dialog, "goto", file_->GetEndTime() + 60);
    Click(&dialog, "jumpButton");
    EXPECT_EQ(messages_.Shown().size(), 2u);

    SetPickers(&dialog, "goto", SampleStart() + 30 * 60 + 45);
    Click(&dialog, "jumpButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result(), SampleStart() + 30 * 60);
}

TEST_F(NavigationDialogTest, GoToATag) {
    ASSERT_EQ(file_->GetTagCount(), 3);
    CGoToDlg dialog(*file_);
    dialog.show();
    auto* list = Child<CTagList>(&dialog, "tagList");
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(1, 0)->text(), QStringLiteral("2"));
    EXPECT_EQ(list->item(1, 1)->text(), QString::fromStdString(kvr::FormatTime(file_->GetTag(1))));

    Click(&dialog, "tagRadio");
    EXPECT_FALSE(Child<QDateEdit>(&dialog, "gotoDate")->isEnabled());
    EXPECT_TRUE(list->isEnabled());
    Click(&dialog, "jumpButton");
    EXPECT_TRUE(dialog.isVisible());
    ASSERT_EQ(messages_.Texts(), QStringList{QStringLiteral("请选择标签!")});
    EXPECT_EQ(messages_.Shown()[0].icon, QMessageBox::Information);

    list->selectRow(2);
    Click(&dialog, "jumpButton");
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Result(), file_->GetTag(2));
}

TEST_F(NavigationDialogTest, RangeChecksInOrder) {
    const Time end = file_->GetEndTime();
    CRangeDlg dialog(*file_, SampleStart() + 600, SampleStart() + 1200);
    dialog.show();
    EXPECT_EQ(Child<QLabel>(&dialog, "fileSpan")->text(),
              QStringLiteral("2026-01-05 00-00-00\n2026-01-05 01-39-00"));
    EXPECT_EQ(Child<QTimeEdit>(&dialog, "startTime")->time(), QTime(0, 10, 0))
        << "opens on the window";

    struct Case {
        Time start, end;
        const char* message;
    };
    const Case refused[] = {
        {SampleStart() - 120, SampleStart() - 180, "请确认 [开始时间] < [结束时间] ！"},
        {SampleStart() - 1, end, "[开始时间] 超出范围！"},
        {SampleStart() - 1, end + 1, "[开始时间] 超出范围！"},
        {SampleStart(), end + 1, "[结束时间] 超出范围！"},
    };
    for (const Case& c : refused) {
        messages_.Clear();
        SetPickers(&dialog, "start", c.start);
        SetPickers(&dialog, "end", c.end);
        Click(&dialog, "okButton");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(messages_.Texts(), QStringList{QString::fromUtf8(c.message)});
    }
    messages_.Clear();
    SetPickers(&dialog, "start", SampleStart() + 300);
    SetPickers(&dialog, "end", SampleStart() + 300);
    Click(&dialog, "okButton");
    EXPECT_TRUE(messages_.Texts().isEmpty()) << "a range whose start equals its end is accepted";
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.Start(), SampleStart() + 300);
    EXPECT_EQ(dialog.End(), SampleStart() + 300);
}

TEST_F(NavigationDialogTest, FindDialogEditsTheSearchAndMarksNewSearches) {
    kvr::FindState state;
    state.value = 12.5f;
    state.channel = 2;
    state.direction = kvr::FindState::kBackward;
    CFindDlg dialog(*file_, state);
    dialog.show();
    QSignalSpy steps(&dialog, &CFindDlg::findStepRequested);
    EXPECT_EQ(Child<QLineEdit>(&dialog, "valueEdit")->text(), QStringLiteral("12.5"));
    EXPECT_EQ(Child<QLineEdit>(&dialog, "toleranceEdit")->text(), QStringLiteral("0.05"));
    auto* channels = Child<QComboBox>(&dialog, "channelList");
    ASSERT_EQ(channels->count(), 7);
    EXPECT_EQ(channels->itemText(0), QStringLiteral("所有通道"));
    EXPECT_EQ(channels->itemText(2), QStringLiteral("PT101压力"));
    EXPECT_EQ(channels->currentIndex(), 2);
    EXPECT_TRUE(Child<QRadioButton>(&dialog, "directionRadio1")->isChecked());

    state.searchTime = SampleStart() + 600;  // left over from an earlier search
    Child<QLineEdit>(&dialog, "valueEdit")->setText(QStringLiteral("3"));
    channels->setCurrentIndex(0);
    Click(&dialog, "findNextButton");
    EXPECT_EQ(steps.count(), 1);
    EXPECT_EQ(state.value, 3.0f);
    EXPECT_EQ(state.channel, 0);
    EXPECT_EQ(state.searchTime, 0) << "the first click starts a new search";

    state.searchTime = SampleStart() + 60;  // as a view would leave it after a match
    Click(&dialog, "findNextButton");
    EXPECT_EQ(state.searchTime, SampleStart() + 60) << "the next click continues";

    Click(&dialog, "directionRadio0");
    Click(&dialog, "findNextButton");
    EXPECT_EQ(state.direction, kvr::FindState::kForward);
    EXPECT_EQ(state.searchTime, 0) << "a changed direction restarts";

    Child<QLineEdit>(&dialog, "valueEdit")->setText(QStringLiteral("abc"));
    Click(&dialog, "findNextButton");
    EXPECT_EQ(steps.count(), 3) << "no step on a bad number";
    EXPECT_EQ(messages_.Texts(), QStringList{QStringLiteral("请输入一个数字。")});
}

TEST_F(NavigationDialogTest, ListSearchFromItsDialog) {
    kvrtest::TempDir dir;
    kvr::SampleOptions options = kvrtest::SampleRecords(100);
    options.sample = kvr::RampSample;  // channel 0 holds the record number
    auto file = kvrtest::OpenSampleFile(dir, options);
    ASSERT_TRUE(file);
    guitest::StubListOwner owner;
    CXListView view;
    view.resize(800, 600);
    view.show();
    view.SetHistoryOwner(&owner);
    view.SetFile(file.get());

    // Searching for record 0's value from the file start: a list never reports that record.
    guitest::WhenModal([&](QWidget* dialog) {
        Child<QLineEdit>(dialog, "valueEdit")->setText(QStringLiteral("0"));
        Child<QComboBox>(dialog, "channelList")->setCurrentIndex(1);
        Click(dialog, "findNextButton");
        Child<QLineEdit>(dialog, "valueEdit")->setText(QStringLiteral("7"));
        Click(dialog, "findNextButton");
        dialog->close();
    });
    view.ExecuteCommand(cmd::kFind);
    EXPECT_EQ(messages_.Texts(), QStringList{QStringLiteral("数据未找到！")});
    EXPECT_EQ(messages_.Shown()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(view.Grid()->GetTopTime(), SampleStart() + 7 * 60);
    EXPECT_EQ(view.Grid()->GetSelection().anchor, SampleStart() + 7 * 60);
    EXPECT_TRUE(view.IsCommandEnabled(cmd::kFindNext));

    // F3: 7 appears once on channel 0.
    view.ExecuteCommand(cmd::kFindNext);
    EXPECT_EQ(messages_.Texts().size(), 2);
    EXPECT_EQ(view.Grid()->GetTopTime(), SampleStart() + 7 * 60) << "the list does not move";

    // The go-to dialog moves the list.
    guitest::WhenModal([&](QWidget* dialog) {
        SetPickers(dialog, "goto", SampleStart() + 42 * 60 + 10);
        Click(dialog, "jumpButton");
    });
    view.ExecuteCommand(cmd::kGoTo);
    EXPECT_EQ(view.Grid()->GetTopTime(), SampleStart() + 42 * 60);
}
