// The command table of CHCView: the curve commands and the display-state commands that
// the view handles itself. Commands of windows built elsewhere are added through
// RegisterCommand; until then the frame keeps them disabled.
#include "core/analysis/curve_pages.h"
#include "core/analysis/export_table.h"
#include "gui/app/command_ids.h"
#include "gui/app/message_box.h"
#include "gui/common/view_host.h"
#include "gui/history/channel_panel.h"
#include "gui/history/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/history/time_scroll_bar.h"

void CHCView::RegisterCommand(int id, Command command) { commands_[id] = std::move(command); }

bool CHCView::HandlesCommand(int id) const { return commands_.count(id) != 0; }

bool CHCView::IsCommandEnabled(int id) const {
    const auto it = commands_.find(id);
    if (it == commands_.end()) return false;
    return !it->second.enabled || it->second.enabled();
}

bool CHCView::IsCommandChecked(int id) const {
    const auto it = commands_.find(id);
    return it != commands_.end() && it->second.checked && it->second.checked();
}

void CHCView::ExecuteCommand(int id) {
    const auto it = commands_.find(id);
    if (it == commands_.end() || !IsCommandEnabled(id)) return;
    // A copy: a handler may register commands while it runs.
    const std::function<void()> run = it->second.run;
    if (run) run();
}

void CHCView::RegisterCurveCommands() {
    const auto cursorMode = [this] { return curve_->IsSelectMode() == 0; };
    const auto selectMode = [this] { return curve_->IsSelectMode() != 0; };
    const auto hasSelection = [this] { return HasSelection(); };

    RegisterCommand(cmd::kSetStartPoint, {[this] {
                                              curve_->SetStartPoint(0);
                                              UpdateStatusBar();
                                          },
                                          cursorMode, {}});
    RegisterCommand(cmd::kSetEndPoint, {[this] {
                                            curve_->SetEndPoint(0);
                                            UpdateStatusBar();
                                        },
                                        cursorMode, {}});
    RegisterCommand(cmd::kZoomSelection, {[this] {
                                              curve_->ZoomTo(0, 0);
                                              UpdateStatusBar();
                                          },
                                          hasSelection, {}});
    RegisterCommand(cmd::kCopy, {[this] { curve_->CopySelection(); }, hasSelection, {}});
    RegisterCommand(cmd::kSelectAll, {[this] { curve_->SelectAll(); }, selectMode, {}});
    RegisterCommand(cmd::kCursorMode, {[this] { curve_->SetSelectMode(0); }, {}, cursorMode});
    RegisterCommand(cmd::kSelectMode, {[this] { curve_->SetSelectMode(1); }, {}, selectMode});
}

void CHCView::RegisterDisplayCommands() {
    const auto withFile = [this] { return file_ != nullptr; };
    RegisterCommand(cmd::kShowAllCurves, {[this] { ShowAllCurves(true); }, withFile, {}});
    RegisterCommand(cmd::kHideAllCurves, {[this] { ShowAllCurves(false); }, withFile, {}});
    RegisterCommand(cmd::kNextFour, {[this] { ShowNextFour(); }, withFile, {}});
    RegisterCommand(cmd::kPreviousFour, {[this] { ShowPreviousFour(); }, withFile, {}});
    RegisterCommand(cmd::kExcelExport, {[this] {
                                            const auto [a, b] = curve_->IsSelectMode() != 0
                                                                    ? curve_->GetSelection()
                                                                    : std::pair<kvr::Time, kvr::Time>{0, 0};
                                            const auto [start, end] = kvr::ExportRangeFor(*file_, a, b);
                                            OpenChildWindow(ChildWindow::ExcelExport,
                                                            {this, file_.get(), start, end});
                                        },
                                        [this] { return file_ && HasChildFactory(ChildWindow::ExcelExport); },
                                        {}});
    RegisterCommand(cmd::kChannelPanel,
                    {[this] { ToggleChannelPanel(); }, {}, [this] { return panelShown_; }});
}

bool CHCView::SaveDisplayChange() {
    if (!file_->FlushHeader()) {
        // The changed states stay in memory; the curves keep what they show.
        ShowStopMessage(this, QStringLiteral("保存文件信息失败！"), NoticeCaption());
        return false;
    }
    curve_->Rebuild();
    // The panel's ticks follow the states, or it would contradict the curves.
    if (panelShown_) panel_->RebuildControls();
    return true;
}

void CHCView::ShowAllCurves(bool shown) {
    kvr::SetAllCurvesShown(file_->Header(), shown);
    if (SaveDisplayChange()) page_ = 0;
}

void CHCView::ShowNextFour() {
    page_ = kvr::ShowNextFourCurves(file_->Header(), page_);
    SaveDisplayChange();
}

void CHCView::ShowPreviousFour() {
    page_ = kvr::ShowPreviousFourCurves(file_->Header(), page_);
    SaveDisplayChange();
}

void CHCView::ToggleChannelPanel() {
    panelShown_ = !panelShown_;
    scrollBar_->SetPanelShown(panelShown_);
    curve_->SetPanelShown(panelShown_);
    panel_->SetShown(panelShown_);
    panel_->LayoutPanel();
    scrollBar_->LayoutAndRedraw(true);
    curve_->Rebuild();
}
