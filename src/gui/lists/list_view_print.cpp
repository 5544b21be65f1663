// CXListView: printing, print preview with the orientation choice, continuous printing.
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>

#include "gui/common/printer_setup.h"
#include "gui/lists/data_grid.h"
#include "gui/lists/list_view.h"
#include "gui/lists/print_orientation_dlg.h"

void CXListView::PreparePrinting(QPrinter& printer) {
    printer.setPageOrientation(portrait_ ? QPageLayout::Portrait : QPageLayout::Landscape);
    grid_->SetPrintPortrait(portrait_);
    printer.setPrintRange(QPrinter::AllPages);
    // A single page needs no range; a continuous print offers every page from the top row.
    printer.setFromTo(0, 0);
    if (continuousPrint_) printer.setFromTo(1, std::max(grid_->GetPageCount(), 1));
}

void CXListView::PrintTo(QPrinter* printer) {
    QPainter painter(printer);
    if (!painter.isActive()) return;
    const QRect page(0, 0, printer->width(), printer->height());
    if (!continuousPrint_) {
        grid_->DrawPage(painter, page, 1);
        return;
    }
    const int pages = grid_->GetPageCount();
    int first = 1;
    int last = pages;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        first = std::max(printer->fromPage(), 1);
        last = std::min(printer->toPage(), pages);
    }
    for (int p = first; p <= last; ++p) {
        if (p > first) printer->newPage();
        grid_->PrintPage(painter, page, p);
    }
}

void CXListView::Print() {
    QPrinter& printer = DefaultPrinter();
    PreparePrinting(printer);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) PrintTo(&printer);
}

void CXListView::PrintPreview() {
    if (!continuousPrint_) {
        CPrintOrientationDlg orientation(this);
        orientation.exec();
        portrait_ = orientation.Portrait();
    }
    QPrinter& printer = DefaultPrinter();
    PreparePrinting(printer);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &CXListView::PrintTo);
    preview.exec();
}
