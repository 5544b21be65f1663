#pragma once
// The cells of the data list: header texts and data rows. The screen grid and its printed
// pages share them and differ only in sizes, fonts and insets.
#include <QFont>
#include <array>

#include "core/datafile/cxfile.h"
#include "core/view/grid_rows.h"

class QPainter;

// Column width table: the sequence column, the time column, one entry per channel, and a
// sentinel wide enough to end every walk across the table.
inline constexpr int kWidthSlots = 64;
inline constexpr int kSequenceColumn = 0;
inline constexpr int kTimeColumn = 1;
inline constexpr int kFirstChannelColumn = 2;
inline constexpr int kWidthSentinel = 20000;
using ColumnWidths = std::array<int, kWidthSlots>;

struct GridTableGeometry {
    int rowHeight = 20;
    ColumnWidths widths{};
    int firstChannel = 0;  // horizontal scroll position
    int right = 0;         // nothing is drawn from here on
    int fixedHeaderInset = 4;
    int channelHeaderInset = 2;
    int cellInset = 4;
    QFont headerFont;
    QFont rowFont;

    // Left edge of a channel column, or -1 when the channel is scrolled out to the left.
    int ChannelLeft(int channel) const;
};

// Header row at y = 0: "序号", "时间", then one heading per channel in use.
void DrawGridHeader(QPainter& painter, const kvr::CXFile& file, const GridTableGeometry& geometry);

// Data rows below the header, at most maxRows, from `top` on, until the file's end.
// Returns the number of rows drawn.
int DrawGridRows(QPainter& painter, const kvr::CXFile& file, const kvr::GridTimeline& line,
                 kvr::Time top, int maxRows, const GridTableGeometry& geometry);
