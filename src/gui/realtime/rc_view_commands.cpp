// The command table and the context menu of CRCView, and the windows it opens on the live
// file.
#include <QMenu>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "gui/common/command_ids.h"
#include "gui/common/command_menu.h"
#include "gui/common/view_host.h"
#include "gui/curves/curve_page_printer.h"
#include "gui/lists/list_view.h"
#include "gui/realtime/alarm_window.h"
#include "gui/realtime/rc_view.h"
#include "gui/realtime/real_curve_ctrl.h"

namespace {

// The context menu, 0 marking a separator: the acquisition and its windows, then the
// curve items.
constexpr auto kAcquisitionItems = std::to_array<CommandMenuItem>({
    {cmd::kStartAcquisition, "开始实时采集(&R)"},
    {cmd::kStopAcquisition, "停止实时采集(&T)"},
    {cmd::kSaveRealtime, "保存实时文件(&S)\tCtrl+S"},
    {0, nullptr},
    {cmd::kRealtimeDataList, "实时数据列表(&D)"},
    {cmd::kRealtimeCumulativeList, "实时累积列表(&L)"},
    {cmd::kRealtimeAlarms, "实时报警(&A)"},
    {cmd::kSpanPanel, "区间面板(&N)"},
    {cmd::kFileInfo, "文件信息(&F)..."},
    {cmd::kAutoScaleTime, "自动缩放时间轴(&A)"},
    {0, nullptr},
});
constexpr auto kContextItems = JoinCommandMenus(kAcquisitionItems, kCurveMenuItems);

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
    const auto cursorMode = [this] { return !curve_->IsSelectMode(); };
    const auto selectMode = [this] { return curve_->IsSelectMode(); };

    RegisterCommand(
        cmd::kStartAcquisition,
        {[this] { StartAcquisition(); }, [this] { return !engine_.IsAcquiring(); }, {}});
    RegisterCommand(cmd::kStopAcquisition, {[this] { StopWithQuestion(); }, acquiring, {}});
    RegisterCommand(cmd::kSaveRealtime,
                    {[this] { SaveRealtimeFile(); }, [this] { return !engine_.IsSaved(); }, {}});
    RegisterCommand(
        cmd::kRealtimeDataList,
        {[this] { OpenChild(static_cast<int>(ChildWindow::kRealtimeList), listWindow_); },
         available,
         {}});
    RegisterCommand(cmd::kBarDisplay,
                    {[this] { OpenChild(static_cast<int>(ChildWindow::kBarView), barWindow_); },
                     available,
                     {}});
    RegisterCommand(cmd::kCircleDisplay,
                    {[this] { OpenChild(static_cast<int>(ChildWindow::kDialView), dialWindow_); },
                     available,
                     {}});
    RegisterCommand(
        cmd::kRealtimeCumulativeList,
        {[this] {
             OpenChildWindow(ChildWindow::kTotals, {this, &engine_.File()});
         },
         [this] { return engine_.IsAcquiring() && HasChildFactory(ChildWindow::kTotals); },
         {}});
    RegisterCommand(
        cmd::kFileInfo,
        {[this] {
             if (OpenChildWindow(ChildWindow::kFileInfo, {this, &engine_.File()}))
                 curve_->Rebuild();
         },
         [this] { return engine_.IsAcquiring() && HasChildFactory(ChildWindow::kFileInfo); },
         {}});
    RegisterCommand(cmd::kAutoScaleTime, {[this] { curve_->SetAutoScale(!curve_->IsAutoScale()); },
                                          {},
                                          [this] { return curve_->IsAutoScale(); }});
    RegisterCommand(cmd::kRealtimeAlarms,
                    {[this] { OpenAlarmWindow(); }, [this] { return fileBound_; }, {}});
    RegisterCommand(cmd::kPrint, {[this] { Print(false); }, acquiring, {}});
    RegisterCommand(cmd::kPrintPreview, {[this] { Print(true); }, acquiring, {}});
    RegisterCommand(cmd::kCopy,
                    {[this] { curve_->CopySelection(); }, [this] { return HasSelection(); }, {}});
    RegisterCommand(cmd::kSelectAll, {[this] { curve_->SelectAll(); }, selectMode, {}});
    RegisterCommand(cmd::kCursorMode, {[this] { curve_->SetSelectMode(0); }, {}, cursorMode});
    RegisterCommand(cmd::kSelectMode, {[this] { curve_->SetSelectMode(1); }, {}, selectMode});
    // The instrument record viewers read the configuration image of the live file.
    const std::pair<int, ChildWindow> records[] = {
        {cmd::kConfigurationInfo, ChildWindow::kConfigReport},
        {cmd::kAlarmList, ChildWindow::kAlarmList},
        {cmd::kPowerFailureList, ChildWindow::kPowerFailureList},
        {cmd::kOperationLog, ChildWindow::kOperationLog}};
    for (const auto& [id, kind] : records)
        RegisterCommand(id,
                        {[this, kind] {
                             OpenChildWindow(kind, {this, &engine_.File()});
                         },
                         [this, kind, available] { return available() && HasChildFactory(kind); },
                         {}});
}

QMenu* CRCView::BuildContextMenu() {
    const auto enabled = [this](int id) {
        if (id == cmd::kSaveRealtime) return engine_.IsDataAvailable() && !busy_;
        if (!engine_.IsAcquiring() && NeedsAcquisitionInMenu(id)) return false;
        return IsCommandEnabled(id);
    };
    QMenu* menu =
        BuildCommandMenu(this, kContextItems, enabled, [this](int id) { ExecuteCommand(id); });
    for (QAction* action : menu->actions())
        if (action->data().toInt() == cmd::kAutoScaleTime) {
            action->setCheckable(true);
            action->setChecked(curve_->IsAutoScale());
        }
    return menu;
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
    if (static_cast<ChildWindow>(kind) == ChildWindow::kRealtimeList)
        list_ = qobject_cast<CXListView*>(window.data());
}

CRealtimeAlarmWnd* CRCView::AlarmWindow() const {
    return qobject_cast<CRealtimeAlarmWnd*>(alarmWindow_.data());
}

void CRCView::OpenAlarmWindow() {
    if (!alarmWindow_) {
        alarmWindow_ = new CRealtimeAlarmWnd(&alarmWatch_, &engine_.File(), this);
        alarmWindow_->setAttribute(Qt::WA_DeleteOnClose);
    }
    alarmWindow_->show();
    alarmWindow_->raise();
    alarmWindow_->activateWindow();
}

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
