// CXDataGrid: printed pages of 40 rows with a footer.
#include <QDateTime>
#include <QPainter>
#include <QPen>

#include <algorithm>

#include "gui/lists/data_grid.h"

namespace {

constexpr int kPrintedLines = 41;                         // the header and 40 rows
constexpr double kRowHeightShare = 0.92 / kPrintedLines;  // 41 lines take 92 % of the page
constexpr int kPortraitScreenWidth = 700;                 // screen pixels that span a portrait page
constexpr int kLandscapeColumns = 14;  // the fixed columns and 12 channels fill a page
constexpr int kGridPenWidth = 5;
constexpr int kPageNumberFromRight = 600;

}  // namespace

int CXDataGrid::GetPageCount() const { return file_ ? timeline_.PageCount(top_) : 0; }

void CXDataGrid::PrintPage(QPainter& painter, const QRect& page, int pageNumber) {
    const kvr::Time savedTop = top_;
    top_ += static_cast<kvr::Time>(pageNumber - 1) * kvr::GridTimeline::kRowsPerPage *
            timeline_.RowSpan();
    DrawPage(painter, page, pageNumber);
    top_ = savedTop;
}

GridTableGeometry CXDataGrid::PrintGeometry(const QRect& page, int rowHeight) const {
    GridTableGeometry g;
    g.rowHeight = rowHeight;
    const int lastColumn = kFirstChannelColumn + std::min(channelCount_, kWidthSlots - 3);
    int screenSpan = kPortraitScreenWidth;
    if (!printPortrait_) {
        screenSpan = 0;
        for (int i = 0; i < std::min(channelCount_ + 2, kLandscapeColumns); ++i)
            screenSpan += widths_[static_cast<std::size_t>(i)];
    }
    screenSpan = std::max(screenSpan, 1);
    g.widths.fill(0);
    for (int i = 0; i < lastColumn; ++i) {
        const auto slot = static_cast<std::size_t>(i);
        g.widths[slot] =
            static_cast<int>(static_cast<std::int64_t>(widths_[slot]) * page.width() / screenSpan);
    }
    g.widths[static_cast<std::size_t>(lastColumn)] = kWidthSentinel;
    g.firstChannel = firstChannel_;
    g.right = page.left() + page.width();
    g.fixedHeaderInset = g.channelHeaderInset = g.cellInset = static_cast<int>(rowHeight * 0.2);
    const int fontPixels = std::max(static_cast<int>(rowHeight * 0.6), 1);
    g.headerFont = QFont(QStringLiteral("宋体"));
    g.headerFont.setPixelSize(fontPixels);
    g.rowFont = QFont(QStringLiteral("system"));
    g.rowFont.setPixelSize(fontPixels);
    return g;
}

void CXDataGrid::DrawPage(QPainter& painter, const QRect& page, int pageNumber) {
    if (!file_) return;
    const int rowHeight = static_cast<int>(page.height() * kRowHeightShare);
    if (rowHeight <= 0) return;
    const GridTableGeometry g = PrintGeometry(page, rowHeight);
    const int right = g.right;
    const int tableBottom = kPrintedLines * rowHeight;

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPen gridPen(Qt::black, kGridPenWidth, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(gridPen);
    for (int k = 0; k <= kPrintedLines; ++k)
        painter.drawLine(0, k * rowHeight, right, k * rowHeight);
    int x = 0;
    painter.drawLine(x, 0, x, tableBottom);
    for (int i = 0; i < kWidthSlots; ++i) {
        if (i >= kFirstChannelColumn && i - kFirstChannelColumn < firstChannel_) continue;
        x += g.widths[static_cast<std::size_t>(i)];
        if (x > right) break;
        painter.drawLine(x, 0, x, tableBottom);
    }

    DrawGridHeader(painter, *file_, g);
    DrawGridRows(painter, *file_, timeline_, top_, kvr::GridTimeline::kRowsPerPage, g);

    painter.setPen(gridPen);
    painter.drawLine(right - 2, page.top(), right - 2, tableBottom);
    DrawPrintFooter(painter, page, rowHeight, pageNumber);
    painter.restore();
}

void CXDataGrid::DrawPrintFooter(QPainter& painter, const QRect& page, int rowHeight,
                                 int pageNumber) {
    QFont footerFont(QStringLiteral("system"));
    footerFont.setPixelSize(std::max(static_cast<int>(rowHeight * 0.6), 1));
    painter.setFont(footerFont);
    painter.setPen(Qt::black);
    const int y = (kPrintedLines + 1) * rowHeight;
    const int right = page.left() + page.width();
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip;
    auto text = [&](int x, const QString& s) {
        painter.drawText(QRect(x, y, 1, rowHeight), flags, s);
    };
    text(page.left() + rowHeight,
         QStringLiteral("设备名称：") + QString::fromStdString(file_->GetDeviceName()));
    text(page.left() + page.width() / 2,
         QStringLiteral("打印时间：") +
             QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    text(right - kPageNumberFromRight, QStringLiteral("第%1页").arg(pageNumber));
}
