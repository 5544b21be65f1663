#pragma once
// CXDataGrid: the records of one data file as a table on a time line (row k is `row step`
// records after row k - 1), with its own scroll bars, selection, column resizing, copying
// and printing. Draws everything itself into a back buffer.
#include <QColor>
#include <QImage>
#include <QWidget>

#include "core/datafile/cxfile.h"
#include "core/view/grid_rows.h"
#include "gui/common/back_buffer.h"
#include "gui/lists/grid_table_painter.h"

class QPainter;
class QScrollBar;

struct GridSelection {
    kvr::Time anchor = 0;  // the row clicked first; 0 = no selection
    kvr::Time end = 0;     // the other end, earlier or later
};

class CXDataGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 20;
    static constexpr int kScrollBarSize = 16;
    static constexpr int kMinColumnWidth = 5;

    explicit CXDataGrid(QWidget* parent = nullptr);
    ~CXDataGrid() override;

    // Shows a file (not owned); a null file changes nothing. Called again on every live
    // refresh: re-reads the file's span and, when following, brings the newest record in.
    void SetFile(kvr::CXFile* file);
    kvr::CXFile* GetFile() const { return file_; }

    void Redraw();
    void ScrollUp(int rows);
    void ScrollDown(int rows);
    // Moves the row holding t to the top and selects it.
    void GoToTime(kvr::Time t);
    kvr::Time GetTopTime() const { return top_; }
    GridSelection GetSelection() const { return selection_; }
    bool HasSelection() const;
    void SelectAll();
    // Puts every record of the selection on the clipboard as text.
    void CopySelection();
    void SetAutoScroll(bool follow) { autoScroll_ = follow; }
    bool GetAutoScroll() const { return autoScroll_; }
    void SetKeepPosition(bool keep) { keepPosition_ = keep; }
    // Records per row, at least 1; the caller redraws.
    void SetRowStep(int step);
    int GetRowStep() const { return timeline_.step; }
    int GetFirstChannel() const { return firstChannel_; }
    int ColumnWidth(int column) const;
    kvr::GridTimeline Timeline() const { return timeline_; }

    // Printing: 40 rows a page from the top row on.
    void SetPrintPortrait(bool portrait) { printPortrait_ = portrait; }
    bool GetPrintPortrait() const { return printPortrait_; }
    int GetPageCount() const;
    // Page `pageNumber` (from 1) of a continuous print.
    void PrintPage(QPainter& painter, const QRect& page, int pageNumber);
    // One page of 40 rows from the top row.
    void DrawPage(QPainter& painter, const QRect& page, int pageNumber);

signals:
    // The right button was released over the grid; the owning view shows its menu.
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Layout();
    void ComputeChannelWidths();
    void LayoutScrollBars(int recordCount);
    void UpdateVerticalPosition();
    static void SetBarPosition(QScrollBar* bar, int position);
    void Render();
    void DrawFrameAndHeader(QPainter& painter);
    void DrawRows(QPainter& painter);
    GridTableGeometry ScreenGeometry() const;
    GridTableGeometry PrintGeometry(const QRect& page, int rowHeight) const;
    void DrawPrintFooter(QPainter& painter, const QRect& page, int rowHeight, int pageNumber);
    kvr::Time TimeOfRowAt(int y) const;
    int BorderColumnAt(const QPoint& pos) const;
    void OnVerticalAction(int action);
    void OnHorizontalAction(int action);
    void ShowChannel(int firstChannel);

    kvr::CXFile* file_ = nullptr;
    kvr::GridTimeline timeline_;
    kvr::Time top_ = 0;
    int channelCount_ = 1;
    ColumnWidths widths_{};
    bool widthsComputed_ = false;
    int firstChannel_ = 0;
    GridSelection selection_;
    bool keepPosition_ = false;
    bool autoScroll_ = false;
    bool printPortrait_ = false;

    // Column resizing
    bool resizing_ = false;
    int borderColumn_ = -1;
    QPoint dragPoint_;

    QRect area_;  // the table inside the client area, scroll bars excluded
    int verticalRange_ = 0;
    bool verticalShown_ = false;
    QScrollBar* verticalBar_ = nullptr;
    QScrollBar* horizontalBar_ = nullptr;
    CXBackBuffer backBuffer_;  // the table area, at the screen's pixel ratio
    bool bufferValid_ = false;

    QColor faceColor_, shadowColor_, highlightColor_;
};
