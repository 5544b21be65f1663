#pragma once
// A pixel rectangle with exclusive right and bottom edges. The control geometry is worked
// out in this form (margins, shrinking by one pixel, "reaches the right edge") because
// QRect's inclusive right edge would put an off-by-one into every formula.
#include <QRect>

struct EdgeRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Contains(const QPoint& p) const { return Contains(p.x(), p.y()); }
    EdgeRect Shrunk(int d) const { return {left + d, top + d, right - d, bottom - d}; }
    EdgeRect Shrunk(int dx, int dy) const { return {left + dx, top + dy, right - dx, bottom - dy}; }
    EdgeRect Translated(int dx, int dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    QRect ToQRect() const { return QRect(left, top, Width(), Height()); }
    bool operator==(const EdgeRect&) const = default;
};
