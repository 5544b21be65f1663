// CXDataGrid: drawing the table on screen.
#include <QPainter>
#include <QPen>

#include <algorithm>

#include "gui/lists/data_grid.h"

namespace {

constexpr int kFixedHeaderInset = 4;  // row height x 0.2
constexpr int kChannelHeaderInset = 2;
constexpr int kCellInset = 4;
constexpr int kHeaderFontPixels = 12;  // row height x 0.6

}  // namespace

void CXDataGrid::Redraw() {
    Render();
    update();
}

void CXDataGrid::paintEvent(QPaintEvent*) {
    if (!bufferValid_) Render();
    QPainter painter(this);
    painter.drawImage(0, 0, backBuffer_.Image());
    // The corner between the two scroll bars, and anything the table does not cover.
    const QRect below(0, area_.height(), width(), height() - area_.height());
    const QRect beside(area_.width(), 0, width() - area_.width(), area_.height());
    painter.fillRect(below, faceColor_);
    painter.fillRect(beside, faceColor_);
}

void CXDataGrid::Render() {
    if (backBuffer_.IsNull()) return;
    QPainter painter(&backBuffer_.Image());
    DrawFrameAndHeader(painter);
    if (file_) DrawRows(painter);
    bufferValid_ = true;
}

GridTableGeometry CXDataGrid::ScreenGeometry() const {
    GridTableGeometry g;
    g.rowHeight = kRowHeight;
    g.widths = widths_;
    g.firstChannel = firstChannel_;
    g.right = area_.width();
    g.fixedHeaderInset = kFixedHeaderInset;
    g.channelHeaderInset = kChannelHeaderInset;
    g.cellInset = kCellInset;
    g.headerFont = QFont(QStringLiteral("宋体"));
    g.headerFont.setPixelSize(kHeaderFontPixels);
    g.rowFont = font();
    return g;
}

void CXDataGrid::DrawFrameAndHeader(QPainter& painter) {
    const int w = area_.width();
    const int h = area_.height();
    painter.fillRect(0, 0, w, h, highlightColor_);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - 1, h - 1);
    painter.fillRect(0, 0, w - 1, kRowHeight, faceColor_);
    painter.fillRect(0, 0, widths_[kSequenceColumn], h - 1, faceColor_);

    if (HasSelection()) {
        const std::int64_t a = timeline_.ScreenRow(selection_.anchor, top_);
        const std::int64_t b = timeline_.ScreenRow(selection_.end, top_);
        // Rows far off screen are pinned just outside it so that pixel arithmetic stays small.
        const auto pin = [&](std::int64_t row) {
            return static_cast<int>(std::clamp<std::int64_t>(row, -2, h / kRowHeight + 2));
        };
        int y0 = pin(std::min(a, b)) * kRowHeight;
        const int y1 = (pin(std::max(a, b)) + 1) * kRowHeight + 1;
        if (y1 > kRowHeight && y0 < kRowHeight) y0 = kRowHeight;
        if (y1 > y0) {
            painter.setPen(QPen(Qt::black, 0, Qt::DotLine));
            painter.setBrush(faceColor_);
            painter.drawRect(0, y0, w - 1, y1 - y0 - 1);
            painter.setBrush(Qt::NoBrush);
        }
    }

    painter.setPen(QPen(shadowColor_, 0));
    for (int y = 0; y < h; y += kRowHeight) painter.drawLine(0, y, w, y);
    int x = 0;
    painter.drawLine(x, 0, x, h);
    for (int i = 0; i < kWidthSlots && x < w; ++i) {
        if (i >= kFirstChannelColumn && i - kFirstChannelColumn < firstChannel_) continue;
        x += widths_[static_cast<std::size_t>(i)];
        painter.drawLine(x, 0, x, h);
    }

    if (file_) DrawGridHeader(painter, *file_, ScreenGeometry());
}

void CXDataGrid::DrawRows(QPainter& painter) {
    const int visibleRows = area_.height() / kRowHeight;
    DrawGridRows(painter, *file_, timeline_, top_, visibleRows, ScreenGeometry());
    top_ = std::min(top_, timeline_.end);
    UpdateVerticalPosition();
}
