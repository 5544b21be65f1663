#pragma once
// Shared by the history-curve tests: the application, a ramp file with known pixels, and
// mouse input with explicit button states.
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <functional>
#include <memory>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "gui/history/curve_ctrl.h"
#include "support/test_support.h"

namespace historytest {

// gtest_main owns main(), so the application is made on first use and never deleted:
// destroyed among the static objects at exit it would outlive parts of Qt it needs.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui_history";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Curve colours of the sample file.
inline const QColor kRed(255, 0, 0);      // channel 0
inline const QColor kGreen(0, 192, 0);    // channel 1
inline const QColor kYellow(255, 255, 0);  // cursor and selection markers

// A ramp of 601 one-second records: channel c at record r is r + 50 c. With the value
// scale 0 … 600 in a plot 600 columns wide and 400 rows tall (a control of kWidth x
// kHeight), record r sits in column r at row trunc(400 - 400 r / 600). Only channels 0 and
// 1 are shown; no grid, no tags, black background.
inline constexpr int kRecords = 601;
inline constexpr int kWidth = 652;
inline constexpr int kHeight = 436;
inline constexpr int kPlotWidth = 600;
inline constexpr int kPlotHeight = 400;

inline int ExpectedRow(double value, double low = 0.0, double high = 600.0) {
    return static_cast<int>(kPlotHeight - kPlotHeight * (value - low) / (high - low));
}

inline std::unique_ptr<kvr::CXFile> OpenRampFile(
    const kvrtest::TempDir& dir, const std::function<void(kvr::SampleOptions&)>& adjust = {}) {
    kvr::SampleOptions options;
    options.records = kRecords;
    options.interval = 1;
    options.tags = 0;
    options.yMode = 1;
    options.yLow = 0.0f;
    options.yHigh = 600.0f;
    options.gridVertical = 10;
    options.gridHorizontal = 10;
    options.showGrid = 0;
    options.backgroundColor = 0;
    options.sample = [](int channel, int record) { return static_cast<float>(record + 50 * channel); };
    if (adjust) adjust(options);
    const std::string path = dir.file("ramp.FDZ");
    if (!kvr::WriteSampleFile(path, options)) return nullptr;
    auto file = std::make_unique<kvr::CXFile>();
    if (file->Open(path) != 1) return nullptr;
    for (int c = 2; c < file->GetChannelCount(); ++c) file->Header().channels[c].showState = 0;
    return file;
}

inline QImage Render(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline int CountPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& match) {
    int count = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (match(image.pixelColor(x, y))) ++count;
    return count;
}

inline int CountColor(const QImage& image, const QRect& area, const QColor& color) {
    return CountPixels(image, area, [&](QColor c) { return c == color; });
}

// Mouse events with the button state a drag has (QTest's move carries no buttons).
inline void SendMouse(QWidget* widget, QEvent::Type type, QPoint position, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
    QMouseEvent event(type, QPointF(position), QPointF(widget->mapToGlobal(position)), button, buttons,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void Drag(QWidget* widget, QPoint from, QPoint to, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(widget, QEvent::MouseButtonPress, from, button, button);
    const int steps = 4;
    for (int i = 1; i <= steps; ++i)
        SendMouse(widget, QEvent::MouseMove, from + (to - from) * i / steps, Qt::NoButton, button);
    SendMouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

// A curve control of kWidth x kHeight showing file, laid out and drawn.
inline std::unique_ptr<CXCurveCtrl> ShowCurveCtrl(kvr::CXFile* file) {
    auto ctrl = std::make_unique<CXCurveCtrl>();
    ctrl->resize(kWidth, kHeight);
    ctrl->SetFile(file);
    ctrl->ApplyFileSettings();
    ctrl->show();
    ctrl->Rebuild();
    return ctrl;
}

}  // namespace historytest
