// Mouse and keyboard handling of CXCurveCtrl: placing the cursor, selecting a span,
// panning (left drag) and stretching (right drag) the value axis, switching modes.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

#include "gui/curves/curve_ctrl.h"

using kvr::Time;

void CXCurveCtrl::PlaceCursor(const QPoint& point) {
    cursorX_ = std::clamp(point.x(), layout_.plot.left, layout_.plot.right - 1);
    cursorY_ = point.y();
    cursorTime_ = window_.PixelToTime(cursorX_ - layout_.plot.left, layout_.plotWidth);
    DrawCursor();
    Present();
}

void CXCurveCtrl::ExtendSelection(int x) {
    const int column = std::clamp(x, layout_.plot.left, layout_.plot.right);
    selEnd_ = window_.PixelToTime(column - layout_.plot.left, layout_.plotWidth);
    DrawSelection();
    Present();
}

namespace {
// How far from an edge of the selection a press still takes hold of it.
constexpr int kEdgeGrabPixels = 4;
}  // namespace

bool CXCurveCtrl::NearSelectionEdge(int x) const {
    if (selStart_ == 0 || selStart_ == selEnd_) return false;
    const auto onEdge = [&](Time t) {
        return window_.InWindow(t) &&
               std::abs(layout_.plot.left + TimeToPixel(t, layout_.plotWidth) - x) <=
                   kEdgeGrabPixels;
    };
    return onEdge(selStart_) || onEdge(selEnd_);
}

bool CXCurveCtrl::GrabSelectionEdge(int x) {
    if (!NearSelectionEdge(x)) return false;
    const int startX = layout_.plot.left + TimeToPixel(selStart_, layout_.plotWidth);
    const int endX = layout_.plot.left + TimeToPixel(selEnd_, layout_.plotWidth);
    // The nearer edge moves; the drag then extends from the other one.
    if (std::abs(x - startX) < std::abs(x - endX)) selStart_ = selEnd_;
    return true;
}

void CXCurveCtrl::MoveCursorByKey(int direction) {
    if (!window_.InBrowseRange(cursorTime_)) return;
    const Time before = cursorTime_;
    int x = cursorX_;
    // Zoomed in, several columns show the same record: go on to the first column of the
    // neighbouring record, or the key would leave the cursor where it is.
    while (direction < 0 ? x > layout_.plot.left : x < layout_.plot.right - 1) {
        x += direction;
        if (window_.PixelToTime(x - layout_.plot.left, layout_.plotWidth) != before) break;
    }
    cursorX_ = x;
    cursorTime_ = window_.PixelToTime(x - layout_.plot.left, layout_.plotWidth);
    DrawCursor();
    Present();
}

void CXCurveCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (layout_.valueAxis.Contains(point)) {
            panDrag_ = true;
            lastPoint_ = point;
        } else if (layout_.plot.Contains(point)) {
            if (!selectMode_) {
                PlaceCursor(point);
            } else if (GrabSelectionEdge(point.x())) {
                ExtendSelection(point.x());
            } else {
                selStart_ = 0;
                RedrawAll();
                const int column = std::max(point.x(), layout_.plot.left) - layout_.plot.left;
                selStart_ = window_.PixelToTime(column, layout_.plotWidth);
            }
        }
    } else if (event->button() == Qt::RightButton && layout_.valueAxis.Contains(point)) {
        stretchDrag_ = true;
        lastPoint_ = point;
    }
}

void CXCurveCtrl::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const Qt::MouseButtons buttons = event->buttons();
    const bool oneButton = buttons == Qt::LeftButton || buttons == Qt::RightButton;
    if (oneButton && event->modifiers() == Qt::NoModifier) {
        const int dy = point.y() - lastPoint_.y();
        if (panDrag_) {
            lastPoint_ = point;
            scale_.Pan(dy);
            RedrawAfterScaleChange();
        } else if (stretchDrag_) {
            lastPoint_ = point;
            if (scale_.Stretch(dy)) RedrawAfterScaleChange();
        } else if (buttons == Qt::LeftButton && layout_.plot.Contains(point)) {
            if (!selectMode_)
                PlaceCursor(point);
            else
                ExtendSelection(point.x());
        }
        return;
    }
    if (layout_.valueAxis.Contains(point))
        setCursor(Qt::SizeVerCursor);
    else if (selectMode_ && layout_.plot.Contains(point) && NearSelectionEdge(point.x()))
        setCursor(Qt::SizeHorCursor);
    else
        unsetCursor();
}

void CXCurveCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        panDrag_ = false;
        if (selectMode_ && layout_.plot.Contains(point)) ExtendSelection(point.x());
        if (selStart_ > selEnd_) {
            std::swap(selStart_, selEnd_);
            // The markers follow the ends they now belong to.
            if (selectMode_) {
                DrawSelection();
                Present();
            }
        }
    } else if (event->button() == Qt::RightButton) {
        stretchDrag_ = false;
        if (layout_.plot.Contains(point))
            emit plotRightButtonReleased(event->globalPosition().toPoint());
    }
}

void CXCurveCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (!selectMode_) {
        selectMode_ = 1;
        selStart_ = selEnd_ = 0;
    } else {
        selectMode_ = 0;
        PlaceCursor(event->position().toPoint());
    }
    Rebuild();
}

void CXCurveCtrl::keyPressEvent(QKeyEvent* event) {
    if (!selectMode_ && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        if (event->key() == Qt::Key_Left) MoveCursorByKey(-1);
        if (event->key() == Qt::Key_Right) MoveCursorByKey(+1);
    }
    QWidget::keyPressEvent(event);
}

void CXCurveCtrl::wheelEvent(QWheelEvent* event) { event->accept(); }
