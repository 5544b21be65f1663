// Mouse and keyboard handling of CXCurveCtrl: placing the cursor, selecting a span,
// panning (left drag) and stretching (right drag) the value axis, switching modes.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "gui/history/curve_ctrl.h"

using kvr::Time;

void CXCurveCtrl::PlaceCursor(const QPoint& point) {
    cursorX_ = std::clamp(point.x(), plot_.left, plot_.right - 1);
    cursorY_ = point.y();
    cursorTime_ = PixelToTime(cursorX_ - plot_.left, plotWidth_);
    DrawCursor();
    Present();
}

void CXCurveCtrl::ExtendSelection(int x) {
    const int column = std::clamp(x, plot_.left, plot_.right);
    selEnd_ = PixelToTime(column - plot_.left, plotWidth_);
    DrawSelection();
    Present();
}

void CXCurveCtrl::MoveCursorByKey(int direction) {
    if (!window_.InBrowseRange(cursorTime_)) return;
    const Time before = cursorTime_;
    int x = cursorX_;
    // Zoomed in, several columns show the same record: go on to the first column of the
    // neighbouring record, or the key would leave the cursor where it is.
    while (direction < 0 ? x > plot_.left : x < plot_.right - 1) {
        x += direction;
        if (PixelToTime(x - plot_.left, plotWidth_) != before) break;
    }
    cursorX_ = x;
    cursorTime_ = PixelToTime(x - plot_.left, plotWidth_);
    DrawCursor();
    Present();
}

void CXCurveCtrl::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        if (valueAxis_.Contains(point)) {
            panDrag_ = true;
            lastPoint_ = point;
        } else if (plot_.Contains(point)) {
            if (!selectMode_) {
                PlaceCursor(point);
            } else {
                selStart_ = 0;
                RedrawAll();
                selStart_ = PixelToTime(std::max(point.x(), plot_.left) - plot_.left, plotWidth_);
            }
        }
    } else if (event->button() == Qt::RightButton && valueAxis_.Contains(point)) {
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
        } else if (buttons == Qt::LeftButton && plot_.Contains(point)) {
            if (!selectMode_)
                PlaceCursor(point);
            else
                ExtendSelection(point.x());
        }
        return;
    }
    if (valueAxis_.Contains(point))
        setCursor(Qt::SizeVerCursor);
    else
        unsetCursor();
}

void CXCurveCtrl::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        panDrag_ = false;
        if (selectMode_ && plot_.Contains(point)) ExtendSelection(point.x());
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
        if (plot_.Contains(point)) emit plotRightButtonReleased(event->globalPosition().toPoint());
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
