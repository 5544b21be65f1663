// The command table and the context menu of CRCView, the display-state commands, and the
// windows it opens on the live file.
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "core/view/curve_pages.h"
#include "gui/common/command_ids.h"
#include "gui/common/command_menu.h"
#include "gui/common/view_host.h"
#include "gui/history/curve_page_printer.h"
#include "gui/lists/list_view.h"
#include "gui/realtime/rc_view.h"
#include "gui/realtime/real_curve_ctrl.h"

namespace {

constexpr CommandMenuItem kContextItems[] = {
    {cmd::kStartAcquisition, "开始实时采集(&R)"},
    {cmd::kStopAcquisition, "停止实时采集(&T)"},
    {cmd::kSaveRealtime, "保存实时文件(&S)\tCtrl+S"},
    {0, nullptr},
    {cmd::kRealtimeDataList, "实时数据列表(&D)"},
    {cmd::kRealtimeCumulativeList, "实时累积列表(&L)"},
    {cmd::kFileInfo, "文件信息(&F)..."},
    {0, nullptr},
    {cmd::kCopy, "复制(&C)\tCtrl+C"},
    {cmd::kSelectAll, "全选(&A)\tCtrl+A"},
    {0, nullptr},
    {cmd::kShowAllCurves, "显示全部曲线(&S)"},
    {cmd::kHideAllCurves, "隐藏全部曲线(&H)"},
    {cmd::kPreviousFour, "前4条曲线\tCtrl+←"},
    {cmd::kNextFour, "后4条曲线\tCtrl+→"},
};

// Items the context menu greys while no acquisition runs, beyond the command table.
bool NeedsAcquisitionInMenu(int id) {
    switch (id) {
        case cmd::kStopAcquisition:
        case cmd::kFileInfo:
        case cmd::kRealtimeDataList:
        case cmd::kRealtimeCumulativeList:
        case cmd::kShowAllCurves:
        case cmd::kHideAllCurves:
        case cmd::kNextFour:
        case cmd::kPreviousFour: return true;
        default: return false;
    }
}

}  // namespace

bool CRCView::IsCommandEnabled(int id) const { return !busy_ && CommandMap::IsCommandEnabled(id); }

void CRCView::ExecuteCommand(int id) {
    if (!busy_) CommandMap::ExecuteCommand(id);
}

bool CRCView::HasSelection() const {
    if (!curve_->IsSelectMode()) return false;
    const auto [start, end] = curve_->GetSelection();
    return start != 0 && start != end;
}

void CRCView::RegisterCommands() {
    const auto acquiring = [this] { return engine_.IsAcquiring(); };
    const auto available = [this] { return engine_.IsDataAvailable() && fileBound_; };
    const auto cursorMode = [this] { return curve_->IsSelectMode() == 0; };
    const auto selectMode = [this] { return curve_->IsSelectMode() != 0; };

    RegisterCommand(
        cmd::kStartAcquisition,
        {[this] { StartAcquisition(); }, [this] { return !engine_.IsAcquiring(); }, {}});
    RegisterCommand(cmd::kStopAcquisition, {[this] { StopWithQuestion(); }, acquiring, {}});
    RegisterCommand(cmd::kSaveRealtime,
                    {[this] { SaveRealtimeFile(); }, [this] { return !engine_.IsSaved(); }, {}});
    RegisterCommand(
        cmd::kRealtimeDataList,
        {[this] { OpenChild(static_cast<int>(ChildWindow::RealtimeList), listWindow_); },
         available,
         {}});
    RegisterCommand(
        cmd::kBarDisplay,
        {[this] { OpenChild(static_cast<int>(ChildWindow::BarView), barWindow_); }, available, {}});
    RegisterCommand(cmd::kCircleDisplay,
                    {[this] { OpenChild(static_cast<int>(ChildWindow::DialView), dialWindow_); },
                     available,
                     {}});
    RegisterCommand(
        cmd::kRealtimeCumulativeList,
        {[this] {
             OpenChildWindow(ChildWindow::Totals, {this, &engine_.File()});
         },
         [this] { return engine_.IsAcquiring() && HasChildFactory(ChildWindow::Totals); },
         {}});
    RegisterCommand(
        cmd::kFileInfo,
        {[this] {
             if (OpenChildWindow(ChildWindow::FileInfo, {this, &engine_.File()})) curve_->Rebuild();
         },
         [this] { return engine_.IsAcquiring() && HasChildFactory(ChildWindow::FileInfo); },
         {}});
    RegisterCommand(cmd::kPrint, {[this] { Print(false); }, acquiring, {}});
    RegisterCommand(cmd::kPrintPreview, {[this] { Print(true); }, acquiring, {}});
    RegisterCommand(cmd::kCopy,
                    {[this] { curve_->CopySelection(); }, [this] { return HasSelection(); }, {}});
    RegisterCommand(cmd::kSelectAll, {[this] { curve_->SelectAll(); }, selectMode, {}});
    RegisterCommand(cmd::kCursorMode, {[this] { curve_->SetSelectMode(0); }, {}, cursorMode});
    RegisterCommand(cmd::kSelectMode, {[this] { curve_->SetSelectMode(1); }, {}, selectMode});
    // The instrument record viewers read the configuration image of the live file.
    const std::pair<int, ChildWindow> records[] = {
        {cmd::kConfigurationInfo, ChildWindow::ConfigReport},
        {cmd::kAlarmList, ChildWindow::AlarmList},
        {cmd::kPowerFailureList, ChildWindow::PowerFailureList},
        {cmd::kOperationLog, ChildWindow::OperationLog}};
    for (const auto& [id, kind] : records)
        RegisterCommand(id,
                        {[this, kind] {
                             OpenChildWindow(kind, {this, &engine_.File()});
                         },
                         [this, kind, available] { return available() && HasChildFactory(kind); },
                         {}});
}

void CRCView::RegisterDisplayCommands() {
    const auto withFile = [this] { return fileBound_; };
    RegisterCommand(cmd::kShowAllCurves, {[this] { ShowAllCurves(true); }, withFile, {}});
    RegisterCommand(cmd::kHideAllCurves, {[this] { ShowAllCurves(false); }, withFile, {}});
    RegisterCommand(cmd::kNextFour, {[this] { ShowNextFour(); }, withFile, {}});
    RegisterCommand(cmd::kPreviousFour, {[this] { ShowPreviousFour(); }, withFile, {}});
    RegisterCommand(cmd::kChannelPanel,
                    {[this] { ToggleChannelPanel(); }, {}, [this] { return parts_.panelShown; }});
}

QMenu* CRCView::BuildContextMenu() {
    const auto enabled = [this](int id) {
        if (id == cmd::kSaveRealtime) return engine_.IsDataAvailable() && !busy_;
        if (!engine_.IsAcquiring() && NeedsAcquisitionInMenu(id)) return false;
        return IsCommandEnabled(id);
    };
    return BuildCommandMenu(this, kContextItems, enabled, [this](int id) { ExecuteCommand(id); });
}

void CRCView::ShowContextMenu(const QPoint& globalPosition) {
    QMenu* menu = BuildContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPosition);
}

void CRCView::OpenChild(int kind, QPointer<QWidget>& window) {
    if (window) {
        if (ViewHost* host = ViewHost::Instance()) host->ActivateChildView(window);
        return;
    }
    ChildRequest request{this, &engine_.File()};
    request.listOwner = this;
    window = OpenChildWindow(static_cast<ChildWindow>(kind), request);
    if (static_cast<ChildWindow>(kind) == ChildWindow::RealtimeList)
        list_ = qobject_cast<CXListView*>(window.data());
}

// ---------------------------------------------------------------------------------------
// Display states

bool CRCView::SaveDisplayChange() { return parts_.SaveDisplayChange(engine_.File(), this); }

void CRCView::ShowAllCurves(bool shown) {
    kvr::SetAllCurvesShown(engine_.File().Header(), shown);
    page_ = 0;
    SaveDisplayChange();
}

void CRCView::ShowNextFour() {
    page_ = kvr::ShowNextFourCurves(engine_.File().Header(), page_);
    SaveDisplayChange();
}

void CRCView::ShowPreviousFour() {
    page_ = kvr::ShowPreviousFourCurves(engine_.File().Header(), page_);
    SaveDisplayChange();
}

void CRCView::ToggleChannelPanel() { parts_.SetPanelShown(!parts_.panelShown); }

// ---------------------------------------------------------------------------------------
// One page of the window the control shows, drawn as the history view prints it.

void CRCView::Print(bool preview) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    const auto paint = [this](QPrinter* target) { PrintCurves(*target, *curve_, {}); };
    if (preview) {
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, paint);
        dialog.exec();
        return;
    }
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) paint(&printer);
}
