#include "gui/charts/range_view.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>

#include "gui/charts/circle_chart_ctrl.h"
#include "gui/common/command_ids.h"

CRangeView::CRangeView(kvr::CXFile* file, int channel, kvr::Time start, kvr::Time end,
                       QWidget* parent)
    : QWidget(parent), chart_(new CCircleChartCtrl(this)), channel_(channel) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(chart_);
    chart_->SetFile(file);
    chart_->SetChannel(channel);
    chart_->SetSpanStart(start);
    chart_->SetSpanEnd(end);
    setWindowTitle(QStringLiteral("通道%1").arg(channel + 1));
    RegisterCommand(cmd::kPrint, {[this] { PrintWithDialog(); }, {}, {}});
    RegisterCommand(cmd::kFramePrint, {[this] { PrintWithDialog(); }, {}, {}});
    RegisterCommand(cmd::kPrintPreview, {[this] { PrintPreview(); }, {}, {}});
    RegisterCommand(cmd::kFramePrintPreview, {[this] { PrintPreview(); }, {}, {}});
}

void CRangeView::Print(QPrinter& printer) const {
    printer.setResolution(300);
    QPainter painter(&printer);
    chart_->Print(
        painter,
        QRect(QPoint(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size()));
}

void CRangeView::PrintPreview() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintPreviewDialog dialog(&printer, this);
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* p) { Print(*p); });
    dialog.exec();
}

void CRangeView::PrintWithDialog() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) Print(printer);
}
