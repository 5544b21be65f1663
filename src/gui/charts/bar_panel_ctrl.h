#pragma once
// CBarPanelCtrl: the newest value of every channel in use as a vertical bar gauge with a
// scale, alarm marks, a numeric read-out and alarm colouring, up to twelve cells in a
// two-row grid, and the instrument's cumulative flow and heat totals.
//
// The grid, titles and scales go to a background layer when the layout runs; a refresh
// copies it and draws only what changes (bars, marks, read-outs, totals) on top, so the
// timer-driven redraw never flickers.
#include <QImage>
#include <QWidget>

namespace kvr {
class CXFile;
}

class CBarPanelCtrl : public QWidget {
    Q_OBJECT
public:
    explicit CBarPanelCtrl(QWidget* parent = nullptr);

    void SetFile(kvr::CXFile* file);
    void SetGroups(int groupCount, int selectedGroup);
    int SelectedGroup() const { return group_; }
    // Rebuilds both layers for the current size and file.
    void Layout();
    // Draws the changing parts over the background and repaints.
    void Refresh();
    // The cells of the selected group and the columns of their grid.
    int CellCount() const { return static_cast<int>(cells_.size()); }
    int Columns() const { return columns_; }
    QRect BarRect(int cell) const { return cells_.at(cell).bar; }
    // Where a cell's texts go: the title above the bar, the read-out box under it and one
    // label per labelled tick (every second of the eleven, top first), each centred on the
    // row of its tick.
    struct CellTexts {
        QRect title;
        QRect readout;
        std::vector<int> tickRows;
        std::vector<QRect> labels;
    };
    CellTexts Texts(int cell) const;
    // What the window shows, for printing and tests.
    const QImage& Picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Cell {
        int channel = -1;
        QRect rect;
        QRect title;
        QRect bar;
        QRect readout;
    };
    void BuildCells();
    void DrawBackground();
    void DrawValues(QPainter& painter) const;
    void DrawBar(QPainter& painter, const Cell& cell) const;
    void DrawTotals(QPainter& painter) const;
    int BaseFont() const;
    int TickRow(const Cell& cell, int tick) const;
    QRect ScaleLabel(const Cell& cell, int tick) const;
    int TotalsFont() const;
    int GridHeight() const;

    kvr::CXFile* file_ = nullptr;
    int groups_ = 1;
    int group_ = 0;
    int columns_ = 0;
    std::vector<Cell> cells_;
    QImage background_;
    QImage picture_;
};
