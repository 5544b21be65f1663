// Drawing steps of CXCurveCtrl: each one fills its layer, and the composition steps copy
// the layers into the back buffer in order (frame, plot, then cursor or selection).
#include <QPaintEvent>
#include <QPainter>

#include "gui/common/system_colors.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/curves/tag_painter.h"

using kvr::Time;

namespace {

const QColor kSelectionXor(0, 80, 80);

}  // namespace

bool CXCurveCtrl::RedrawIfStale() {
    if (LayersMatchWidget()) return false;
    RedrawAll();
    return true;
}

void CXCurveCtrl::paintEvent(QPaintEvent*) {
    // A size or screen change since the last layout: rebuild the layers before showing.
    if (!LayersMatchWidget()) {
        ApplyGeometry();
        DrawFrame();
        DrawTimeAxis();
        DrawValueAxis();
        DrawPlot();
        DrawCursorOrSelection();
    }
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), back_.Image());
}

void CXCurveCtrl::resizeEvent(QResizeEvent*) {
    // The layers are rebuilt by the next Layout or paint; nothing to draw into yet.
}

void CXCurveCtrl::Present() {
    update();
    if (selStart_ == notifiedStart_ && selEnd_ == notifiedEnd_ && selectMode_ == notifiedMode_)
        return;
    notifiedStart_ = selStart_;
    notifiedEnd_ = selEnd_;
    notifiedMode_ = selectMode_;
    emit selectionChanged();
}

void CXCurveCtrl::RedrawAll() {
    if (!LayersMatchWidget()) ApplyGeometry();
    DrawFrame();
    DrawTimeAxis();
    DrawValueAxis();
    DrawPlot();
    DrawCursorOrSelection();
    Present();
}

void CXCurveCtrl::redrawCurves() {
    if (RedrawIfStale()) return;
    ComputeWindow();
    DrawTimeAxis();
    DrawPlot();
    DrawCursorOrSelection();
    Present();
    emit windowChanged();
}

void CXCurveCtrl::RedrawAfterScaleChange() {
    if (RedrawIfStale()) return;
    ComputeValueScale();
    DrawValueAxis();
    DrawPlot();
    DrawCursorOrSelection();
    Present();
}

void CXCurveCtrl::DrawCursorOrSelection() {
    if (selectMode_)
        DrawSelection();
    else
        DrawCursor();
}

void CXCurveCtrl::DrawFrame() {
    QPainter painter(&frame_.Image());
    Renderer().DrawFrame(painter);
}

void CXCurveCtrl::DrawValueAxis() {
    // The axes are drawn in a strip of their own and copied over the frame layer whole.
    CXBackBuffer strip(layout_.valueAxis, devicePixelRatioF());
    {
        QPainter painter(&strip.Image());
        Renderer().DrawValueAxis(painter);
    }
    strip.BlitTo(frame_.Image());
}

void CXCurveCtrl::DrawTimeAxis() {
    CXBackBuffer strip(layout_.timeAxis, devicePixelRatioF());
    {
        QPainter painter(&strip.Image());
        Renderer().DrawTimeAxis(painter);
    }
    strip.BlitTo(frame_.Image());
}

void CXCurveCtrl::DrawPlot() {
    {
        QPainter painter(&plotLayer_.Image());
        Renderer().DrawPlot(painter);
    }
    for (const EdgeRect& part : layout_.FrameParts()) frame_.BlitTo(back_.Image(), part);
    plotLayer_.BlitTo(back_.Image());
    plotClean_ = true;
}

void CXCurveCtrl::RestorePlot() {
    if (!plotClean_) plotLayer_.BlitTo(back_.Image());
    plotClean_ = false;
}

QColor CXCurveCtrl::ContrastColor() const {
    return InverseOfColorref(file_ ? file_->Header().backgroundColor : 0);
}

void CXCurveCtrl::ClearMarkerStrip() {
    marker_.Fill(ButtonFaceColor());
    marker_.BlitTo(back_.Image());
}

void CXCurveCtrl::DrawCursor() {
    if (!file_ || !window_.InBrowseRange(cursorTime_)) return;
    RestorePlot();
    ClearMarkerStrip();
    readout_ = {};
    const int x = layout_.plot.left + TimeToPixel(cursorTime_, layout_.plotWidth);
    cursorX_ = x;
    if (x < layout_.plot.left || x > layout_.plot.right - 1 || !window_.InWindow(cursorTime_))
        return;
    {
        QPainter painter(&back_.Image());
        painter.setCompositionMode(QPainter::RasterOp_SourceOrNotDestination);
        painter.setPen(QPen(ContrastColor(), 1));
        painter.drawLine(x, layout_.plot.top, x, layout_.plot.bottom - 1);
    }
    {
        QPainter painter(&marker_.Image());
        Renderer().DrawMarker(painter, x - layout_.markerStrip.left);
    }
    marker_.BlitTo(back_.Image());
    DrawReadout(x, cursorY_);
}

void CXCurveCtrl::DrawSelection() {
    if (!file_) return;
    // Cleared first: a drag back onto its starting column empties the selection, and the
    // band drawn for the previous move must not stay behind.
    RestorePlot();
    ClearMarkerStrip();
    readout_ = {};
    if (selStart_ < window_.BrowseStart() || selEnd_ > window_.BrowseEnd() || selStart_ == selEnd_)
        return;
    const Time windowStart = window_.WindowStart();
    const Time windowEnd = window_.WindowEnd();
    if ((selStart_ < windowStart && selEnd_ < windowStart) ||
        (selStart_ > windowEnd && selEnd_ > windowEnd))
        return;
    selStartColumn_ = TimeToPixel(selStart_, layout_.plotWidth);
    selEndColumn_ = TimeToPixel(selEnd_, layout_.plotWidth);
    const EdgeRect& plot = layout_.plot;
    const EdgeRect band{
        std::max(plot.left + std::min(selStartColumn_, selEndColumn_), plot.left), plot.top,
        std::min(plot.left + std::max(selStartColumn_, selEndColumn_) + 1, plot.right),
        plot.bottom};
    if (!band.IsEmpty()) {
        QPainter painter(&back_.Image());
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(band.ToQRect(), kSelectionXor);
    }
    {
        QPainter painter(&marker_.Image());
        if (window_.InWindow(selStart_)) Renderer().DrawMarker(painter, selStartColumn_);
        if (window_.InWindow(selEnd_)) Renderer().DrawMarker(painter, selEndColumn_ + 1);
    }
    marker_.BlitTo(back_.Image());
}

void CXCurveCtrl::DrawReadout(int x, int /*y*/) {
    QPainter painter(&back_.Image());
    readout_ = Renderer().DrawReadout(painter, x, cursorTime_);
}
