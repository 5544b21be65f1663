// history_screenshots OUTDIR: renders the history view on a generated day of data in a
// few states (whole day, cursor with read-out, selection, zoomed with the channel panel)
// into PNG files, for the documentation and for looking at the drawing by eye.
#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <cstdio>

#include "core/datafile/sample_file.h"
#include "gui/common/command_ids.h"
#include "gui/history/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "support/test_support.h"

namespace {

void Click(QWidget* widget, QPoint at, Qt::MouseButton button, QEvent::Type type) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Press(QWidget* widget, QPoint at) {
    Click(widget, at, Qt::LeftButton, QEvent::MouseButtonPress);
    Click(widget, at, Qt::LeftButton, QEvent::MouseButtonRelease);
}

void DragTo(QWidget* widget, QPoint from, QPoint to) {
    Click(widget, from, Qt::LeftButton, QEvent::MouseButtonPress);
    QMouseEvent move(QEvent::MouseMove, QPointF(to), QPointF(widget->mapToGlobal(to)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
    Click(widget, to, Qt::LeftButton, QEvent::MouseButtonRelease);
}

bool Save(CHCView& view, const QString& path) {
    const bool saved = view.grab().save(path);
    std::printf("%s %s\n", saved ? "wrote" : "cannot write", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: history_screenshots OUTDIR\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);

    kvrtest::TempDir dir;
    kvr::SampleOptions options;  // one day at one record a minute, three tags
    const std::string path = dir.file("demo.FDZ");
    if (!kvr::WriteSampleFile(path, options)) return 1;
    auto* file = new kvr::CXFile;
    if (file->Open(path) != 1) return 1;

    CHCView view;
    view.resize(1600, 1000);
    view.show();
    view.SetFile(file);
    CXCurveCtrl* curve = view.CurveCtrl();
    const QPoint plot = curve->PlotRect().topLeft();
    bool ok = Save(view, out + "/history_day.png");

    Press(curve, plot + QPoint(curve->PlotWidth() / 3, 200));
    ok &= Save(view, out + "/history_cursor.png");

    view.ExecuteCommand(cmd::kSelectMode);
    DragTo(curve, plot + QPoint(420, 300), plot + QPoint(760, 300));
    ok &= Save(view, out + "/history_selection.png");

    view.ExecuteCommand(cmd::kZoomSelection);
    view.ExecuteCommand(cmd::kCursorMode);
    view.ExecuteCommand(cmd::kChannelPanel);
    Press(curve, plot + QPoint(curve->PlotWidth() * 3 / 4, 200));
    ok &= Save(view, out + "/history_zoomed_panel.png");
    return ok ? 0 : 1;
}
