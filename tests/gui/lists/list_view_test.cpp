// The data list view: commands and their states, the live refresh, the filter, menus.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "gui/common/command_ids.h"
#include "gui/common/view_host.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "support/gui_test_support.h"

using kvrtest::SampleStart;

namespace {

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        guitest::App();
        file_ = kvrtest::OpenSampleFile(dir_, kvrtest::SampleRecords(1000));
        ASSERT_TRUE(file_);
        view_ = std::make_unique<CXListView>();
        view_->resize(1600, 900);
        view_->show();
    }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    guitest::StubListOwner owner_;
    std::unique_ptr<CXListView> view_;
};

}  // namespace

TEST_F(ListViewTest, HistoryListCommandStates) {
    view_->SetHistoryOwner(&owner_);
    view_->SetFile(file_.get());
    struct Case {
        int id;
        bool enabled;
    };
    const Case before[] = {
        {cmd::kCopy, false},
        {cmd::kSelectAll, true},
        {cmd::kGoTo, true},
        {cmd::kFind, true},
        {cmd::kFindNext, false},
        {cmd::kStartScrolling, false},
        {cmd::kStopScrolling, false},
        {cmd::kPrint, true},
        {cmd::kPrintPreview, true},
        {cmd::kContinuousPrint, true},
        {CXListView::kFilterCommand, true},
        {cmd::kCumulativeList, false},
    };
    // Windows the program does not have are not offered at all.
    for (int id : {cmd::kFileInfo, cmd::kStatistics, cmd::kExcelExport})
        EXPECT_FALSE(view_->HandlesCommand(id)) << id;
    for (const Case& c : before) {
        EXPECT_TRUE(view_->HandlesCommand(c.id)) << c.id;
        EXPECT_EQ(view_->IsCommandEnabled(c.id), c.enabled) << c.id;
    }
    EXPECT_FALSE(view_->HandlesCommand(cmd::kAddTag));

    view_->ExecuteCommand(cmd::kSelectAll);
    EXPECT_TRUE(view_->IsCommandEnabled(cmd::kCopy));
    owner_.find.searchMade = true;
    EXPECT_TRUE(view_->IsCommandEnabled(cmd::kFindNext));
}

TEST_F(ListViewTest, LiveListFollowsTheNewestRecordOnlyWhenAsked) {
    view_->AttachAcquisition(&owner_);
    view_->SetFile(file_.get());
    CXDataGrid* grid = view_->Grid();
    const kvr::Time followTop = file_->GetEndTime() - (grid->height() / 20 - 4) * 60;
    EXPECT_EQ(grid->GetTopTime(), followTop);
    EXPECT_TRUE(view_->IsCommandEnabled(cmd::kStopScrolling));
    EXPECT_FALSE(view_->IsCommandEnabled(cmd::kStartScrolling));
    EXPECT_FALSE(view_->IsCommandEnabled(cmd::kSelectAll)) << "history-list command";
    EXPECT_FALSE(view_->IsCommandEnabled(cmd::kFind));

    view_->ExecuteCommand(cmd::kStopScrolling);
    grid->ScrollUp(100);
    const kvr::Time parked = grid->GetTopTime();
    view_->recordAppended();
    EXPECT_EQ(grid->GetTopTime(), parked) << "stays put while records arrive";

    view_->ExecuteCommand(cmd::kStartScrolling);
    EXPECT_EQ(grid->GetTopTime(), parked) << "not at once";
    view_->recordAppended();
    EXPECT_EQ(grid->GetTopTime(), followTop) << "at the next record";

    // The filter does nothing on a live list.
    view_->ExecuteCommand(CXListView::kFilterCommand);
    EXPECT_EQ(grid->GetRowStep(), 1);
}

TEST_F(ListViewTest, FilterRefusesStepsBelowOneAndAlwaysOpensWithOne) {
    view_->SetHistoryOwner(&owner_);
    view_->SetFile(file_.get());
    guitest::MessageRecorder messages;
    bool refusedStayedOpen = false;
    guitest::WhenModal([&](QWidget* dialog) {
        auto* edit = guitest::Child<QLineEdit>(dialog, "stepEdit");
        EXPECT_EQ(edit->text(), QStringLiteral("1"));
        edit->setText(QStringLiteral("0"));
        guitest::Child<QPushButton>(dialog, "okButton")->click();
        refusedStayedOpen = dialog->isVisible();
        edit->setText(QStringLiteral("3"));
        guitest::Child<QPushButton>(dialog, "okButton")->click();
    });
    view_->ExecuteCommand(CXListView::kFilterCommand);
    EXPECT_TRUE(refusedStayedOpen);
    ASSERT_EQ(messages.Texts().size(), 1);
    EXPECT_EQ(messages.Texts()[0], QStringLiteral("间隔必须是不小于 1 的整数！"));
    EXPECT_EQ(view_->Grid()->GetRowStep(), 3);

    guitest::WhenModal([&](QWidget* dialog) {
        EXPECT_EQ(guitest::Child<QLineEdit>(dialog, "stepEdit")->text(), QStringLiteral("1"));
        guitest::Child<QPushButton>(dialog, "cancelButton")->click();
    });
    view_->ExecuteCommand(CXListView::kFilterCommand);
    EXPECT_EQ(view_->Grid()->GetRowStep(), 3) << "cancel keeps the filter";
}

TEST_F(ListViewTest, ContextMenus) {
    auto texts = [](QMenu* menu) {
        QStringList items;
        for (QAction* action : menu->actions())
            items << (action->isSeparator()
                          ? QStringLiteral("-")
                          : action->text() + (action->isEnabled() ? "" : " (grey)"));
        return items;
    };
    view_->SetHistoryOwner(&owner_);
    view_->SetFile(file_.get());
    std::unique_ptr<QMenu> menu(view_->CreateContextMenu());
    EXPECT_EQ(texts(menu.get()), (QStringList{"复制(&C)\tCtrl+C (grey)", "全选(&A) \tCtrl+A", "-",
                                              "数据筛选(&T)", "查看累积报表(&L) (grey)"}));

    CXListView live;
    live.AttachAcquisition(&owner_);
    live.SetFile(file_.get());
    live.Grid()->SelectAll();
    menu.reset(live.CreateContextMenu());
    EXPECT_EQ(texts(menu.get()), (QStringList{"停止实时滚屏(&T)", "启动实时滚屏(&S) (grey)", "-",
                                              "复制(&C)\tCtrl+C"}));
    menu.reset();  // before the view that parents it
}

TEST_F(ListViewTest, ClosingTellsTheOwner) {
    view_->SetHistoryOwner(&owner_);
    view_->SetFile(file_.get());
    view_->OnActivated();
    EXPECT_EQ(owner_.activated, 1);
    view_.reset();
    EXPECT_EQ(owner_.closed, 1);
}

namespace {

std::vector<ChildRequest>& ExportRequests() {
    static std::vector<ChildRequest> requests;
    return requests;
}

int GridRowY(int row) { return row * CXDataGrid::kRowHeight + CXDataGrid::kRowHeight / 2; }

}  // namespace

TEST_F(ListViewTest, ExcelExportOpensWithTheSelectionOrTheWholeFile) {
    RegisterChildFactory(ChildWindow::kExcelExport, [](const ChildRequest& request) -> QWidget* {
        ExportRequests().push_back(request);
        return nullptr;
    });
    ExportRequests().clear();
    // Commands of other windows are offered by views made once the program has them.
    CXListView view;
    view.resize(1600, 900);
    view.show();
    view.SetHistoryOwner(&owner_);
    view.SetFile(file_.get());
    ASSERT_TRUE(view.IsCommandEnabled(cmd::kExcelExport));
    view.ExecuteCommand(cmd::kExcelExport);

    // Selected upwards: from record 3 back to record 1.
    QTest::mouseClick(view.Grid(), Qt::LeftButton, Qt::NoModifier, QPoint(100, GridRowY(4)));
    QTest::mouseClick(view.Grid(), Qt::LeftButton, Qt::ShiftModifier, QPoint(100, GridRowY(2)));
    view.ExecuteCommand(cmd::kExcelExport);

    ASSERT_EQ(ExportRequests().size(), 2u);
    EXPECT_EQ(ExportRequests()[0].file, file_.get());
    EXPECT_EQ(ExportRequests()[0].start, file_->GetStartTime());
    EXPECT_EQ(ExportRequests()[0].end, file_->GetEndTime());
    EXPECT_EQ(ExportRequests()[1].start, SampleStart() + 60);
    EXPECT_EQ(ExportRequests()[1].end, SampleStart() + 180);

    CXListView live;
    live.AttachAcquisition(&owner_);
    live.SetFile(file_.get());
    EXPECT_FALSE(live.IsCommandEnabled(cmd::kExcelExport)) << "a live list exports nothing";
}
