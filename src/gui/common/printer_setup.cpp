#include "gui/common/printer_setup.h"

#include <QPageLayout>
#include <QPrinter>

QPrinter& DefaultPrinter() {
    // Made on first use: finding the printers takes time the start-up should not pay.
    static QPrinter printer(QPrinter::HighResolution);
    return printer;
}

void SetDefaultPrinterOrientation(int orientation) {
    if (orientation == 1)
        DefaultPrinter().setPageOrientation(QPageLayout::Portrait);
    else if (orientation == 2)
        DefaultPrinter().setPageOrientation(QPageLayout::Landscape);
}
