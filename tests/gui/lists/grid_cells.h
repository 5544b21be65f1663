#pragma once
// Reading the data grid the way a user does: a cell of a rendered grid compared with the
// text it should show.
#include <QImage>
#include <QPainter>

#include "gui/lists/data_grid.h"
#include "support/gui_test_support.h"

namespace guitest {

inline int ColumnLeft(const CXDataGrid& grid, int column) {
    int left = 0;
    for (int i = 0; i < column; ++i) {
        if (i >= kFirstChannelColumn && i - kFirstChannelColumn < grid.GetFirstChannel()) continue;
        left += grid.ColumnWidth(i);
    }
    return left;
}

// The inside of a cell, grid lines excluded. row 0 is the header.
inline QImage Cell(const QImage& shot, const CXDataGrid& grid, int row, int column) {
    const int left = ColumnLeft(grid, column);
    return shot.copy(left + 1, row * CXDataGrid::kRowHeight + 1, grid.ColumnWidth(column) - 1,
                     CXDataGrid::kRowHeight - 1);
}

// The same cell as the grid would draw it with text (centred, 4 px in from the borders).
inline QImage ExpectedCell(const CXDataGrid& grid, int column, const QString& text,
                           QColor textColor, QColor background) {
    const int width = grid.ColumnWidth(column);
    QImage image(width + 1, CXDataGrid::kRowHeight, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.setFont(grid.font());
    painter.setPen(textColor);
    painter.drawText(QRect(4, 0, width - 8, CXDataGrid::kRowHeight),
                     Qt::AlignCenter | Qt::TextSingleLine, text);
    painter.end();
    return image.copy(1, 1, width - 1, CXDataGrid::kRowHeight - 1);
}

}  // namespace guitest
