#include "gui/lists/list_view.h"

#include <QMenu>

#include <algorithm>

#include "core/analysis/export_table.h"
#include "core/analysis/find_search.h"
#include "gui/app/command_ids.h"
#include "gui/app/message_box.h"
#include "gui/common/view_host.h"
#include "gui/history/find_dialog.h"
#include "gui/history/goto_dialog.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_filter_dialog.h"
#include "gui/lists/list_owner.h"

namespace {

constexpr int kListCommands[] = {
    cmd::kFileInfo,     cmd::kStartScrolling,  cmd::kStopScrolling, cmd::kCopy,
    cmd::kSelectAll,    cmd::kExcelExport,     cmd::kPrint,         cmd::kPrintPreview,
    cmd::kContinuousPrint, cmd::kCumulativeList, cmd::kStatistics,  cmd::kGoTo,
    cmd::kFind,         cmd::kFindNext,        CXListView::kFilterCommand,
};

}  // namespace

CXListView::CXListView(QWidget* parent) : QWidget(parent) {
    grid_ = new CXDataGrid(this);
    grid_->setObjectName(QStringLiteral("dataGrid"));
    connect(grid_, &CXDataGrid::contextMenuRequested, this, &CXListView::ShowContextMenu);
    setFocusProxy(grid_);
}

CXListView::~CXListView() {
    if (CListOwner* owner = Owner()) owner->ListClosed(this);
}

void CXListView::SetFile(kvr::CXFile* file) {
    file_ = file;
    grid_->SetFile(file);
}

void CXListView::SetHistoryOwner(CListOwner* owner) { historyOwner_ = owner; }

void CXListView::AttachAcquisition(CListOwner* acquisition) {
    acquisition_ = acquisition;
    grid_->SetAutoScroll(true);
    grid_->SetKeepPosition(true);
}

CListOwner* CXListView::Owner() const { return historyOwner_ ? historyOwner_ : acquisition_; }

void CXListView::resizeEvent(QResizeEvent*) { grid_->setGeometry(rect()); }

void CXListView::RecordAppended() {
    if (!file_) return;
    grid_->SetFile(file_);
    grid_->Redraw();
}

void CXListView::OnActivated() {
    if (CListOwner* owner = Owner()) owner->ListActivated();
}

// ---------------------------------------------------------------------------------------
// Commands

bool CXListView::HandlesCommand(int id) const {
    return std::find(std::begin(kListCommands), std::end(kListCommands), id) != std::end(kListCommands);
}

bool CXListView::CanCopy() const {
    if (!file_) return false;
    const GridSelection selection = grid_->GetSelection();
    return selection.anchor != 0 && selection.anchor >= file_->GetStartTime() &&
           selection.end <= file_->GetEndTime();
}

bool CXListView::IsCommandEnabled(int id) const {
    const CListOwner* owner = Owner();
    switch (id) {
        case cmd::kStartScrolling: return IsLiveList() && !grid_->GetAutoScroll();
        case cmd::kStopScrolling: return IsLiveList() && grid_->GetAutoScroll();
        case cmd::kCopy: return CanCopy();
        case cmd::kSelectAll:
        case cmd::kGoTo:
        case cmd::kFind: return IsHistoryList() && file_;
        case cmd::kFindNext: {
            const kvr::FindState* state = historyOwner_ ? historyOwner_->ListFindState() : nullptr;
            return file_ && state && state->searchMade;
        }
        case cmd::kPrint:
        case cmd::kPrintPreview:
        case cmd::kContinuousPrint: return file_ != nullptr;
        case cmd::kCumulativeList: return owner && owner->HasCumulativeList();
        case kFilterCommand: return file_ != nullptr;
        case cmd::kExcelExport: return IsHistoryList() && file_ && HasChildFactory(ChildWindow::ExcelExport);
        // The file information dialog and the statistics join the list once the program
        // has them.
        case cmd::kFileInfo:
        case cmd::kStatistics: return false;
        default: return false;
    }
}

void CXListView::ExecuteCommand(int id) {
    if (!IsCommandEnabled(id)) return;
    switch (id) {
        case cmd::kStartScrolling: grid_->SetAutoScroll(true); break;
        case cmd::kStopScrolling: grid_->SetAutoScroll(false); break;
        case cmd::kCopy: grid_->CopySelection(); break;
        case cmd::kSelectAll: grid_->SelectAll(); break;
        case cmd::kPrint:
            continuousPrint_ = false;
            Print();
            break;
        case cmd::kPrintPreview:
            continuousPrint_ = false;
            PrintPreview();
            break;
        case cmd::kContinuousPrint:
            continuousPrint_ = true;
            PrintPreview();
            break;
        case cmd::kCumulativeList: Owner()->OpenCumulativeList(); break;
        case cmd::kGoTo: GoTo(); break;
        case cmd::kFind: Find(); break;
        case cmd::kFindNext: FindNext(); break;
        case kFilterCommand: Filter(); break;
        case cmd::kExcelExport: {
            const GridSelection selection = grid_->GetSelection();
            const auto [start, end] = kvr::ExportRangeFor(*file_, selection.anchor, selection.end);
            OpenChildWindow(ChildWindow::ExcelExport, {this, file_, start, end});
            break;
        }
        default: break;
    }
}

void CXListView::GoTo() {
    CGoToDialog dialog(*file_, this);
    if (dialog.exec() == QDialog::Accepted) grid_->GoToTime(dialog.Result());
}

void CXListView::Find() {
    kvr::FindState* state = historyOwner_->ListFindState();
    if (!state) return;
    CFindDialog dialog(*file_, *state, this);
    connect(&dialog, &CFindDialog::findStepRequested, this, &CXListView::FindStepRequested);
    dialog.exec();
}

void CXListView::FindStepRequested() {
    kvr::FindState* state = historyOwner_ ? historyOwner_->ListFindState() : nullptr;
    if (!file_ || !state) return;
    const std::optional<kvr::Time> found =
        kvr::FindStep(*file_, *state, grid_->GetTopTime(), kvr::FindOrigin::kList);
    if (found)
        grid_->GoToTime(*found);
    else
        ShowNotFound();
}

void CXListView::FindNext() {
    kvr::FindState* state = historyOwner_->ListFindState();
    if (!state) return;
    const std::optional<kvr::Time> found = kvr::FindNext(*file_, *state);
    if (found)
        grid_->GoToTime(*found);
    else
        ShowNotFound();
}

void CXListView::ShowNotFound() {
    ShowMessageBox({this, QStringLiteral("数据未找到！"), NoticeCaption(), QMessageBox::Warning,
                    QMessageBox::Ok});
}

void CXListView::Filter() {
    if (!IsHistoryList()) return;
    CListFilterDialog dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    grid_->SetRowStep(dialog.Step());
    grid_->Redraw();
}

// ---------------------------------------------------------------------------------------
// Context menu

QMenu* CXListView::CreateContextMenu() {
    auto* menu = new QMenu(this);
    auto add = [&](const QString& text, int id) {
        QAction* action = menu->addAction(text);
        action->setData(id);
        action->setEnabled(IsCommandEnabled(id));
        connect(action, &QAction::triggered, this, [this, id] { ExecuteCommand(id); });
    };
    if (IsLiveList()) {
        add(QStringLiteral("停止实时滚屏(&T)"), cmd::kStopScrolling);
        add(QStringLiteral("启动实时滚屏(&S)"), cmd::kStartScrolling);
        menu->addSeparator();
        add(QStringLiteral("复制(&C)\tCtrl+C"), cmd::kCopy);
    } else {
        add(QStringLiteral("复制(&C)\tCtrl+C"), cmd::kCopy);
        add(QStringLiteral("全选(&A) \tCtrl+A"), cmd::kSelectAll);
        menu->addSeparator();
        add(QStringLiteral("Excel 导出(&E)"), cmd::kExcelExport);
        add(QStringLiteral("数据筛选(&T)"), kFilterCommand);
        add(QStringLiteral("查看累积报表(&L)"), cmd::kCumulativeList);
        add(QStringLiteral("查看文件信息(&F)"), cmd::kFileInfo);
    }
    return menu;
}

void CXListView::ShowContextMenu(const QPoint& globalPos) {
    QMenu* menu = CreateContextMenu();
    menu->exec(globalPos);
    delete menu;
}
