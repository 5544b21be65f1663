#include "gui/app/screenshot.h"

#include <QApplication>
#include <QImage>
#include <QPixmap>
#include <QWidget>

bool SaveScreenshot(QWidget* window, QSize size, const QString& pngPath) {
    window->resize(size);
    if (!window->isVisible()) window->show();
    // Child windows lay out and views load their data through posted events.
    for (int pass = 0; pass < 5; ++pass) QApplication::processEvents();
    return window->grab().toImage().save(pngPath, "PNG");
}
