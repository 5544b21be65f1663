#include "gui/common/back_buffer.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

#include "gui/common/system_colors.h"

CXBackBuffer::CXBackBuffer(const EdgeRect& rect, qreal devicePixelRatio) {
    Create(rect, devicePixelRatio);
}

void CXBackBuffer::Create(const EdgeRect& rect, qreal devicePixelRatio) {
    rect_ = rect;
    const int w = std::max(rect.Width(), 1);
    const int h = std::max(rect.Height(), 1);
    image_ = QImage(static_cast<int>(std::ceil(w * devicePixelRatio)),
                    static_cast<int>(std::ceil(h * devicePixelRatio)), QImage::Format_RGB32);
    image_.setDevicePixelRatio(devicePixelRatio);
    Fill(ButtonFaceColor());
}

void CXBackBuffer::Fill(const QColor& color) { image_.fill(color); }

void CXBackBuffer::BlitTo(QImage& target) const {
    if (image_.isNull() || target.isNull()) return;
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(rect_.left, rect_.top), image_);
}

void CXBackBuffer::BlitTo(QImage& target, const EdgeRect& part) const {
    const EdgeRect clipped{std::max(part.left, rect_.left), std::max(part.top, rect_.top),
                           std::min(part.right, rect_.right), std::min(part.bottom, rect_.bottom)};
    if (image_.isNull() || target.isNull() || clipped.IsEmpty()) return;
    const qreal ratio = image_.devicePixelRatio();
    const QRectF source((clipped.left - rect_.left) * ratio, (clipped.top - rect_.top) * ratio,
                        clipped.Width() * ratio, clipped.Height() * ratio);
    QPainter painter(&target);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(clipped.left, clipped.top, clipped.Width(), clipped.Height()), image_,
                      source);
}
