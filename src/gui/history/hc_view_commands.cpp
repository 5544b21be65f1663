// The command table of CHCView: the curve commands and the display-state commands that
// the view handles itself. Commands of windows built elsewhere are added through
// RegisterCommand; until then the frame keeps them disabled.
#include "core/analysis/curve_pages.h"
#include "gui/app/command_ids.h"
#include "gui/history/channel_panel.h"
#include "gui/history/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/history/time_scroll_bar.h"

void CHCView::RegisterCommand(int id, Command command) { commands_.Register(id, std::move(command)); }

bool CHCView::HandlesCommand(int id) const { return commands_.Handles(id); }

bool CHCView::IsCommandEnabled(int id) const { return commands_.IsEnabled(id); }

bool CHCView::IsCommandChecked(int id) const { return commands_.IsChecked(id); }

void CHCView::ExecuteCommand(int id) { commands_.Execute(id); }

void CHCView::RegisterCurveCommands() {
    const auto cursorMode = [this] { return parts_.curve->IsSelectMode() == 0; };
    const auto selectMode = [this] { return parts_.curve->IsSelectMode() != 0; };
    const auto hasSelection = [this] { return HasSelection(); };

    RegisterCommand(cmd::kSetStartPoint, {[this] {
                                              parts_.curve->SetStartPoint(0);
                                              UpdateStatusBar();
                                          },
                                          cursorMode, {}});
    RegisterCommand(cmd::kSetEndPoint, {[this] {
                                            parts_.curve->SetEndPoint(0);
                                            UpdateStatusBar();
                                        },
                                        cursorMode, {}});
    RegisterCommand(cmd::kZoomSelection, {[this] {
                                              parts_.curve->ZoomTo(0, 0);
                                              UpdateStatusBar();
                                          },
                                          hasSelection, {}});
    RegisterCommand(cmd::kCopy, {[this] { parts_.curve->CopySelection(); }, hasSelection, {}});
    RegisterCommand(cmd::kSelectAll, {[this] { parts_.curve->SelectAll(); }, selectMode, {}});
    RegisterCommand(cmd::kCursorMode, {[this] { parts_.curve->SetSelectMode(0); }, {}, cursorMode});
    RegisterCommand(cmd::kSelectMode, {[this] { parts_.curve->SetSelectMode(1); }, {}, selectMode});
}

void CHCView::RegisterDisplayCommands() {
    const auto withFile = [this] { return file_ != nullptr; };
    RegisterCommand(cmd::kShowAllCurves, {[this] { ShowAllCurves(true); }, withFile, {}});
    RegisterCommand(cmd::kHideAllCurves, {[this] { ShowAllCurves(false); }, withFile, {}});
    RegisterCommand(cmd::kNextFour, {[this] { ShowNextFour(); }, withFile, {}});
    RegisterCommand(cmd::kPreviousFour, {[this] { ShowPreviousFour(); }, withFile, {}});
    RegisterCommand(cmd::kChannelPanel,
                    {[this] { ToggleChannelPanel(); }, {}, [this] { return parts_.panelShown; }});
}

bool CHCView::SaveDisplayChange() { return parts_.SaveDisplayChange(*file_, this); }

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

void CHCView::ToggleChannelPanel() { parts_.SetPanelShown(!parts_.panelShown); }
