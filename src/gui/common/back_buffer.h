#pragma once
// CXBackBuffer: an off-screen layer of a custom-drawn control. It covers one rectangle of
// the control (client coordinates), is filled with the button face when created, and is
// copied into a client-sized target (another layer or the window's back buffer) at that
// rectangle with a plain copy.
//
// The image is in device pixels (the rectangle times the device pixel ratio) so that the
// layers stay crisp on HiDPI screens; painting on it uses client units. RGB32 without
// alpha, because the raster operations of the cursor and the selection band work on it.
#include <QImage>

#include "gui/common/edge_rect.h"

class CXBackBuffer {
public:
    CXBackBuffer() = default;
    CXBackBuffer(const EdgeRect& rect, qreal devicePixelRatio);

    void Create(const EdgeRect& rect, qreal devicePixelRatio);
    bool IsNull() const { return image_.isNull(); }
    const EdgeRect& Rect() const { return rect_; }
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    void Fill(const QColor& color);
    // Copies the layer into a client-sized target at the layer's rectangle.
    void BlitTo(QImage& target) const;
    // Copies only the part of the layer inside `part` (client coordinates).
    void BlitTo(QImage& target, const EdgeRect& part) const;

private:
    EdgeRect rect_;
    QImage image_;
};
