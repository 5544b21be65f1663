#include "gui/curves/time_scroll_bar.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "gui/common/system_colors.h"
#include "gui/curves/curve_ctrl.h"

namespace {

const QColor kThumbLight(227, 253, 241);
const QColor kThumbDark(10, 151, 87);
const QColor kThumbFill(75, 243, 167);
const QColor kHandleFill(231, 242, 167);

// Handles keep the thumb edges at least this far apart.
constexpr int kMinHandleGap = 18;

int Scaled(int pixels, float fraction) {
    return static_cast<int>(static_cast<float>(pixels) * fraction);
}

void DrawKnob(QPainter& painter, const EdgeRect& rect, const QColor& fill) {
    if (rect.IsEmpty()) return;
    Draw3dRect(painter, rect, kThumbLight, kThumbDark);
    const EdgeRect inner = rect.Shrunk(1);
    if (!inner.IsEmpty()) painter.fillRect(inner.ToQRect(), fill);
}

}  // namespace

CTimeScrollBar::CTimeScrollBar(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    ComputeThumb();
}

void CTimeScrollBar::SetWidthFraction(float fraction) {
    widthFraction_ = std::clamp(fraction, 0.0f, 1.0f);
    LayoutAndRedraw(false);
}

void CTimeScrollBar::LayoutAndRedraw(bool reposition) {
    if (reposition && parentWidget()) {
        const int left = 2;
        const int right = parentWidget()->width() - 2 - (panelShown_ ? kPanelWidth : 0);
        setGeometry(left, y(), std::max(right - left, 0), height());
    }
    ComputeThumb();
    update();
}

void CTimeScrollBar::ComputeThumb() {
    const EdgeRect client = Client();
    EdgeRect thumb = client.Shrunk(1).Shrunk(kHandleWidth, 0);
    trackWidth_ = thumb.right - thumb.left - kMinThumb;
    thumb.right = thumb.left + kMinThumb + Scaled(trackWidth_, widthFraction_);
    const int shift = Scaled(trackWidth_, startFraction_);
    thumb.left += shift;
    thumb.right += shift;
    thumb.right = std::min(thumb.right, client.right - kEndRoom);
    thumb_ = thumb;
}

EdgeRect CTimeScrollBar::LeftHandle() const {
    return {thumb_.left - kHandleWidth, thumb_.top, thumb_.left, thumb_.bottom};
}

EdgeRect CTimeScrollBar::RightHandle() const {
    return {thumb_.right, thumb_.top, thumb_.right + kHandleWidth, thumb_.bottom};
}

void CTimeScrollBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const EdgeRect client = Client();
    painter.fillRect(client.ToQRect(), ButtonFaceColor());
    DrawSunkenFrame(painter, client);
    DrawKnob(painter, thumb_, kThumbFill);
    DrawKnob(painter, LeftHandle(), kHandleFill);
    DrawKnob(painter, RightHandle(), kHandleFill);
}

void CTimeScrollBar::resizeEvent(QResizeEvent*) { ComputeThumb(); }

void CTimeScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int x = event->position().toPoint().x();
    const QPoint p = event->position().toPoint();
    if (thumb_.Shrunk(1).Contains(p)) {
        drag_ = Drag::kBody;
        grabOffset_ = x - thumb_.left;
    } else if (LeftHandle().Contains(p)) {
        drag_ = Drag::kLeftHandle;
        grabOffset_ = x - thumb_.left;
    } else if (RightHandle().Contains(p)) {
        drag_ = Drag::kRightHandle;
        grabOffset_ = thumb_.right - x;
    }
}

void CTimeScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) drag_ = Drag::kNone;
}

void CTimeScrollBar::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton) {
        DragTo(event->position().toPoint().x());
        return;
    }
    UpdatePointer(event->position().toPoint());
}

void CTimeScrollBar::DragTo(int x) {
    if (drag_ == Drag::kNone) return;
    const bool handle = drag_ != Drag::kBody;
    // A fixed-width bar has handles that cannot be dragged; a bar too narrow for a track
    // has nothing to drag.
    if ((handle && fixedWidth_) || trackWidth_ <= 0) return;

    const EdgeRect client = Client();
    const int minLeft = client.left + kEndRoom;
    const int maxRight = client.right - kEndRoom;
    int left = thumb_.left;
    int right = thumb_.right;
    bool pinned = false;
    if (drag_ == Drag::kBody) {
        left = std::max(x - grabOffset_, minLeft);
        const int body = Scaled(trackWidth_, widthFraction_);
        right = left + kMinThumb + body;
        if (right > maxRight) {
            // Past the right end the window sticks to the end of the span.
            pinned = true;
            right = maxRight;
            left = std::max(client.right - body - kMinThumb - kEndRoom, minLeft);
            startFraction_ = 1.0f - widthFraction_;
        }
    } else if (drag_ == Drag::kLeftHandle) {
        left = std::max(std::min(x - grabOffset_, right - kMinHandleGap), minLeft);
    } else {
        right = std::min(std::max(left + kMinHandleGap, x + grabOffset_), maxRight);
    }
    if (handle) {
        widthFraction_ = std::min(
            static_cast<float>(right - left - kMinThumb) / static_cast<float>(trackWidth_), 1.0f);
    }
    if (!pinned)
        startFraction_ = static_cast<float>(left - kEndRoom) / static_cast<float>(trackWidth_);
    startFraction_ = std::isnan(startFraction_) ? 0.0f : std::clamp(startFraction_, 0.0f, 1.0f);

    thumb_.left = left;
    thumb_.right = right;
    update();
    NotifyTarget();
}

void CTimeScrollBar::UpdatePointer(const QPoint& position) {
    if (thumb_.Contains(position)) {
        setCursor(Qt::OpenHandCursor);
    } else if (!fixedWidth_ &&
               (LeftHandle().Contains(position) || RightHandle().Contains(position))) {
        setCursor(Qt::SizeHorCursor);
    } else {
        unsetCursor();
    }
}

void CTimeScrollBar::NotifyTarget() {
    if (!target_) return;
    target_->SetStartFraction(startFraction_);
    target_->SetWidthFraction(widthFraction_);
    target_->redrawCurves();
}
