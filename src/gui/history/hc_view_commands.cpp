// The commands of CHCView that the view handles itself: the curve commands and the
// display-state commands.
#include <algorithm>
#include <tuple>

#include "core/analysis/export_table.h"
#include "core/settings/view_switches.h"
#include "gui/common/command_ids.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "gui/common/window_commands.h"
#include "gui/curves/channel_panel.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/time_scroll_bar.h"
#include "gui/history/hc_view.h"

void CHCView::RegisterCurveCommands() {
    const auto cursorMode = [this] { return !parts_.curve->IsSelectMode(); };
    const auto selectMode = [this] { return parts_.curve->IsSelectMode(); };
    const auto hasSelection = [this] { return HasSelection(); };

    RegisterCommand(cmd::kSetStartPoint, {[this] {
                                              parts_.curve->SetStartPoint(0);
                                              UpdateStatusBar();
                                          },
                                          cursorMode,
                                          {}});
    RegisterCommand(cmd::kSetEndPoint, {[this] {
                                            parts_.curve->SetEndPoint(0);
                                            UpdateStatusBar();
                                        },
                                        cursorMode,
                                        {}});
    RegisterCommand(cmd::kZoomSelection, {[this] {
                                              parts_.curve->ZoomTo(0, 0);
                                              UpdateStatusBar();
                                          },
                                          hasSelection,
                                          {}});
    RegisterCommand(cmd::kCopy, {[this] { parts_.curve->CopySelection(); }, hasSelection, {}});
    RegisterCommand(cmd::kSelectAll, {[this] { parts_.curve->SelectAll(); }, selectMode, {}});
    RegisterCommand(cmd::kCursorMode, {[this] { parts_.curve->SetSelectMode(0); }, {}, cursorMode});
    RegisterCommand(cmd::kSelectMode, {[this] { parts_.curve->SetSelectMode(1); }, {}, selectMode});
}

void CHCView::RegisterDisplayCommands() {
    parts_.RegisterDisplayCommands(
        *this, [this] { return file_.get(); }, this);
    parts_.curve->SetEnvelopeShown(kvr::ReadEnvelopeShown());
    RegisterCommand(cmd::kEnvelope, {[this] {
                                         const bool shown = !parts_.curve->EnvelopeShown();
                                         parts_.curve->SetEnvelopeShown(shown);
                                         kvr::WriteEnvelopeShown(shown);
                                         if (file_) parts_.curve->RedrawAll();
                                     },
                                     {},
                                     [this] { return parts_.curve->EnvelopeShown(); }});
}

void CHCView::DisplaySettingsChanged(kvr::CXFile* file) {
    if (!file || file != file_.get()) return;
    // The user keeps looking at the same period.
    const auto [start, end] = parts_.curve->GetWindowRange();
    parts_.curve->ApplyFileSettings();
    parts_.curve->SetWindowRange(start, end);
    if (parts_.panelShown) parts_.panel->RebuildControls();
    RebuildCircleChartMenu();
    UpdateStatusBar();
    parts_.Layout();
}

void CHCView::RegisterWindowCommands() {
    for (const WindowCommand& command : WindowCommands()) {
        if (!HasChildFactory(command.kind) || command.kind == ChildWindow::kExcelExport) continue;
        const ChildWindow kind = command.kind;
        RegisterCommand(command.id, {[this, kind] {
                                         ChildRequest request;
                                         request.owner = this;
                                         request.file = file_.get();
                                         std::tie(request.start, request.end) =
                                             parts_.curve->GetWindowRange();
                                         OpenChildWindow(kind, request);
                                     },
                                     [this] { return file_ != nullptr; },
                                     {}});
    }
    if (HasChildFactory(ChildWindow::kExcelExport))
        RegisterCommand(cmd::kExcelExport,
                        {[this] { OpenExport(); }, [this] { return file_ != nullptr; }, {}});
}

void CHCView::OpenExport() {
    ChildRequest request;
    request.owner = this;
    request.file = file_.get();
    // The selection when there is one, otherwise what the curves show.
    if (HasSelection()) {
        const auto [a, b] = parts_.curve->GetSelection();
        std::tie(request.start, request.end) = kvr::ExportRangeFor(*file_, a, b);
    } else {
        std::tie(request.start, request.end) = parts_.curve->GetWindowRange();
        // The curves may show moments past the last record the file can hold.
        request.end = std::min(request.end, file_->GetSpanEndTime());
    }
    OpenChildWindow(ChildWindow::kExcelExport, request);
}
