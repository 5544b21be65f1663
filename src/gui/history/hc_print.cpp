#include "gui/history/hc_print.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "core/datafile/cxfile.h"
#include "gui/common/command_ids.h"
#include "gui/common/view_host.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/continuous_print_dlg.h"
#include "gui/history/hc_view.h"

CHCPrint::CHCPrint(CHCView* view) : QObject(view), view_(view) {
    const auto withFile = [this] { return view_->GetFile() != nullptr; };
    view->RegisterCommand(cmd::kPrint, {[this] {
                                            request_ = {};
                                            Print();
                                        },
                                        withFile,
                                        {}});
    view->RegisterCommand(cmd::kPrintPreview, {[this] {
                                                   request_ = {};
                                                   Preview();
                                               },
                                               withFile,
                                               {}});
    // The framework's own print command prints what was asked for last, continuous or not.
    view->RegisterCommand(cmd::kFramePrint, {[this] { Print(); }, withFile, {}});
    view->RegisterCommand(cmd::kFramePrintPreview, {[this] { Preview(); }, withFile, {}});
    view->RegisterCommand(cmd::kContinuousPrint, {[this] { ContinuousPrint(); }, withFile, {}});
    // The channel items share their id range with later window commands (a file rarely has
    // more than six channels); an id the view already handles keeps its own command.
    for (int id = cmd::kCircleChartFirst; id <= cmd::kCircleChartLast; ++id) {
        if (view->HandlesCommand(id)) continue;
        const int channel = id - cmd::kCircleChartFirst;
        view->RegisterCommand(id, {[this, channel] { OpenCircleChart(channel); },
                                   [this, channel] {
                                       return view_->GetFile() &&
                                              channel < view_->GetFile()->GetChannelCount() &&
                                              HasChildFactory(ChildWindow::kCircleChart);
                                   },
                                   [this, channel] { return IsCircleChartOpen(channel); }});
    }
}

void CHCPrint::Paint(QPrinter& printer) { PrintCurves(printer, *view_->CurveCtrl(), request_); }

void CHCPrint::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, view_);
    if (request_.continuous) printer.setFromTo(1, request_.pages);
    if (dialog.exec() == QDialog::Accepted) Paint(printer);
}

void CHCPrint::Preview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer, view_);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { Paint(*p); });
    dialog.exec();
}

void CHCPrint::ContinuousPrint() {
    CContinuousPrintDlg dialog(*view_->GetFile(), view_);
    if (dialog.exec() != QDialog::Accepted) return;
    request_ = {true, dialog.Start(), dialog.End(), dialog.Pages()};
    if (dialog.Chosen() == CContinuousPrintDlg::Choice::kPrint)
        Print();
    else
        Preview();
}

bool CHCPrint::IsCircleChartOpen(int channel) const {
    const auto it = circleCharts_.find(channel);
    return it != circleCharts_.end() && !it->second.isNull();
}

void CHCPrint::OpenCircleChart(int channel) {
    kvr::CXFile* file = view_->GetFile();
    if (!file) return;
    if (IsCircleChartOpen(channel)) {
        if (ViewHost* host = ViewHost::Instance()) host->ActivateChildView(circleCharts_[channel]);
        return;
    }
    ChildRequest request;
    request.owner = view_;
    request.file = file;
    request.channel = channel;
    const auto [selStart, selEnd] = view_->CurveCtrl()->GetSelection();
    if (view_->HasSelection()) {
        request.start = std::min(selStart, selEnd);
        request.end = std::max(selStart, selEnd);
    } else {
        request.start = file->GetStartTime();
        request.end = file->GetEndTime();
    }
    circleCharts_[channel] = OpenChildWindow(ChildWindow::kCircleChart, request);
}
