// The commands of CHCView that the view handles itself: the curve commands and the
// display-state commands.
#include <tuple>

#include "core/analysis/export_table.h"
#include "core/view/curve_pages.h"
#include "core/view/envelope_setting.h"
#include "gui/common/command_ids.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "gui/common/window_commands.h"
#include "gui/history/channel_panel.h"
#include "gui/history/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/history/time_scroll_bar.h"

void CHCView::RegisterCurveCommands() {
    const auto cursorMode = [this] { return curve_->IsSelectMode() == 0; };
    const auto selectMode = [this] { return curve_->IsSelectMode() != 0; };
    const auto hasSelection = [this] { return HasSelection(); };

    RegisterCommand(cmd::kSetStartPoint, {[this] {
                                              curve_->SetStartPoint(0);
                                              UpdateStatusBar();
                                          },
                                          cursorMode,
                                          {}});
    RegisterCommand(cmd::kSetEndPoint, {[this] {
                                            curve_->SetEndPoint(0);
                                            UpdateStatusBar();
                                        },
                                        cursorMode,
                                        {}});
    RegisterCommand(cmd::kZoomSelection, {[this] {
                                              curve_->ZoomTo(0, 0);
                                              UpdateStatusBar();
                                          },
                                          hasSelection,
                                          {}});
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
    RegisterCommand(cmd::kChannelPanel,
                    {[this] { ToggleChannelPanel(); }, {}, [this] { return panelShown_; }});
    curve_->SetEnvelopeShown(kvr::ReadEnvelopeShown());
    RegisterCommand(cmd::kEnvelope, {[this] {
                                         const bool shown = !curve_->EnvelopeShown();
                                         curve_->SetEnvelopeShown(shown);
                                         kvr::WriteEnvelopeShown(shown);
                                         if (file_) curve_->RedrawAll();
                                     },
                                     {},
                                     [this] { return curve_->EnvelopeShown(); }});
}

void CHCView::DisplaySettingsChanged(kvr::CXFile* file) {
    if (!file || file != file_.get()) return;
    // The user keeps looking at the same period.
    const auto [start, end] = curve_->GetWindowRange();
    curve_->ApplyFileSettings();
    curve_->SetWindowRange(start, end);
    if (panelShown_) panel_->RebuildControls();
    RebuildCircleChartMenu();
    UpdateStatusBar();
    LayoutChildren();
}

void CHCView::RegisterWindowCommands() {
    for (const WindowCommand& command : WindowCommands()) {
        if (!HasChildFactory(command.kind) || command.kind == ChildWindow::ExcelExport) continue;
        const ChildWindow kind = command.kind;
        RegisterCommand(command.id, {[this, kind] {
                                         ChildRequest request;
                                         request.owner = this;
                                         request.file = file_.get();
                                         std::tie(request.start, request.end) =
                                             curve_->GetWindowRange();
                                         OpenChildWindow(kind, request);
                                     },
                                     [this] { return file_ != nullptr; },
                                     {}});
    }
    if (HasChildFactory(ChildWindow::ExcelExport))
        RegisterCommand(cmd::kExcelExport,
                        {[this] { OpenExport(); }, [this] { return file_ != nullptr; }, {}});
}

void CHCView::OpenExport() {
    ChildRequest request;
    request.owner = this;
    request.file = file_.get();
    // The selection when there is one, otherwise what the curves show.
    if (HasSelection()) {
        const auto [a, b] = curve_->GetSelection();
        std::tie(request.start, request.end) = kvr::ExportRangeFor(*file_, a, b);
    } else {
        std::tie(request.start, request.end) = curve_->GetWindowRange();
    }
    OpenChildWindow(ChildWindow::ExcelExport, request);
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
