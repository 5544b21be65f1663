#include "gui/lists/list_view.h"

#include <QMenu>

#include <algorithm>
#include <tuple>

#include "core/analysis/export_table.h"
#include "core/view/find_search.h"
#include "gui/common/command_ids.h"
#include "gui/common/file_events.h"
#include "gui/common/list_owner.h"
#include "gui/common/message_box.h"
#include "gui/common/window_commands.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_filter_dlg.h"
#include "gui/navigation/find_dlg.h"
#include "gui/navigation/goto_dlg.h"

CXListView::CXListView(QWidget* parent) : QWidget(parent) {
    grid_ = new CXDataGrid(this);
    grid_->setObjectName(QStringLiteral("dataGrid"));
    connect(grid_, &CXDataGrid::contextMenuRequested, this, &CXListView::ShowContextMenu);
    setFocusProxy(grid_);
    RegisterCommands();
    // Channel names and units head the columns: follow the file information when it changes.
    connect(FileEvents::Instance(), &FileEvents::DisplaySettingsChanged, this,
            [this](kvr::CXFile* file) {
                if (!file || file != file_) return;
                grid_->SetFile(file_);
                grid_->Redraw();
            });
    // A followed file's list advances like the live list: to the newest record until the
    // user scrolls, then it keeps the user's place.
    connect(FileEvents::Instance(), &FileEvents::RecordsAppended, this, [this](kvr::CXFile* file) {
        if (!file || file != file_) return;
        if (!followed_) {
            followed_ = true;
            grid_->SetAutoScroll(true);
            grid_->SetKeepPosition(true);
        }
        recordAppended();
    });
}

CXListView::~CXListView() {
    if (CListOwner* owner = Owner()) owner->ListClosed(this);
}

void CXListView::SetFile(kvr::CXFile* file) {
    file_ = file;
    grid_->SetFile(file);
}

void CXListView::SetHistoryOwner(CListOwner* owner) {
    historyOwner_ = owner;
    if (owner) owner->ListOpened(this);
}

void CXListView::AttachAcquisition(CListOwner* acquisition) {
    acquisition_ = acquisition;
    grid_->SetAutoScroll(true);
    grid_->SetKeepPosition(true);
}

CListOwner* CXListView::Owner() const { return historyOwner_ ? historyOwner_ : acquisition_; }

void CXListView::resizeEvent(QResizeEvent*) { grid_->setGeometry(rect()); }

void CXListView::recordAppended() {
    if (!file_) return;
    grid_->SetFile(file_);
    grid_->Redraw();
}

void CXListView::OnActivated() {
    if (CListOwner* owner = Owner()) owner->ListActivated();
}

// ---------------------------------------------------------------------------------------
// Commands

bool CXListView::CanCopy() const {
    if (!file_) return false;
    const GridSelection selection = grid_->GetSelection();
    return selection.anchor != 0 && selection.anchor >= file_->GetStartTime() &&
           selection.end <= file_->GetEndTime();
}

void CXListView::RegisterCommands() {
    const auto withFile = [this] { return file_ != nullptr; };
    const auto historyList = [this] { return IsHistoryList() && file_; };
    RegisterCommand(cmd::kStartScrolling,
                    {[this] { grid_->SetAutoScroll(true); },
                     [this] { return IsLiveList() && !grid_->GetAutoScroll(); },
                     {}});
    RegisterCommand(cmd::kStopScrolling, {[this] { grid_->SetAutoScroll(false); },
                                          [this] { return IsLiveList() && grid_->GetAutoScroll(); },
                                          {}});
    RegisterCommand(cmd::kCopy,
                    {[this] { grid_->CopySelection(); }, [this] { return CanCopy(); }, {}});
    RegisterCommand(cmd::kSelectAll, {[this] { grid_->SelectAll(); }, historyList, {}});
    RegisterCommand(cmd::kGoTo, {[this] { GoTo(); }, historyList, {}});
    RegisterCommand(cmd::kFind, {[this] { Find(); }, historyList, {}});
    RegisterCommand(cmd::kFindNext, {[this] { FindNext(); },
                                     [this] {
                                         const kvr::FindState* state =
                                             historyOwner_ ? historyOwner_->ListFindState()
                                                           : nullptr;
                                         return file_ && state && state->searchMade;
                                     },
                                     {}});
    RegisterCommand(cmd::kPrint, {[this] {
                                      continuousPrint_ = false;
                                      Print();
                                  },
                                  withFile,
                                  {}});
    RegisterCommand(cmd::kPrintPreview, {[this] {
                                             continuousPrint_ = false;
                                             PrintPreview();
                                         },
                                         withFile,
                                         {}});
    RegisterCommand(cmd::kContinuousPrint, {[this] {
                                                continuousPrint_ = true;
                                                PrintPreview();
                                            },
                                            withFile,
                                            {}});
    RegisterCommand(cmd::kCumulativeList, {[this] { Owner()->OpenCumulativeList(); },
                                           [this] {
                                               const CListOwner* owner = Owner();
                                               return owner && owner->HasCumulativeList();
                                           },
                                           {}});
    RegisterCommand(kFilterCommand, {[this] { Filter(); }, withFile, {}});
    // Windows other parts of the program make; offered only where the program has them.
    for (const WindowCommand& command : WindowCommands()) {
        const bool listed = command.id == cmd::kFileInfo || command.id == cmd::kStatistics;
        if (!listed || !HasChildFactory(command.kind)) continue;
        const ChildWindow kind = command.kind;
        RegisterCommand(command.id, {[this, kind] { OpenForFile(kind); }, withFile, {}});
    }
    if (HasChildFactory(ChildWindow::kExcelExport))
        RegisterCommand(cmd::kExcelExport, {[this] { ExportSelection(); }, historyList, {}});
}

void CXListView::ExportSelection() {
    const GridSelection selection = grid_->GetSelection();
    ChildRequest request;
    request.owner = this;
    request.file = file_;
    std::tie(request.start, request.end) =
        kvr::ExportRangeFor(*file_, selection.anchor, selection.end);
    OpenChildWindow(ChildWindow::kExcelExport, request);
}

void CXListView::OpenForFile(ChildWindow kind) {
    ChildRequest request;
    request.owner = this;
    request.file = file_;
    request.start = file_->GetStartTime();
    request.end = file_->GetEndTime();
    OpenChildWindow(kind, request);
}

void CXListView::GoTo() {
    CGoToDlg dialog(*file_, this);
    if (dialog.exec() == QDialog::Accepted) grid_->GoToTime(dialog.Result());
}

void CXListView::Find() {
    kvr::FindState* state = historyOwner_->ListFindState();
    if (!state) return;
    CFindDlg dialog(*file_, *state, this);
    connect(&dialog, &CFindDlg::findStepRequested, this, &CXListView::FindStepRequested);
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
    CListFilterDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    grid_->SetRowStep(dialog.Step());
    grid_->Redraw();
}

// ---------------------------------------------------------------------------------------
// Context menu

QMenu* CXListView::CreateContextMenu() {
    auto* menu = new QMenu(this);
    auto add = [&](const QString& text, int id) {
        if (!HandlesCommand(id)) return;
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
