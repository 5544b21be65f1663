#pragma once
// CXCurveCtrl: draws the channel values of one CXFile as time curves, with a value axis,
// a time axis, grid, tags and value labels, a time cursor with a read-out box and a time
// selection, and answers the mouse and the arrow keys.
//
// Drawing goes through four layers: the frame layer (frames, mode caption, both axes),
// the plot layer (grid, curves, tags, value labels), the marker strip above the plot and
// the back buffer that the window is painted from. Each change redraws only the layers it
// affects; the window itself is always painted from the back buffer. What goes into the
// layers is drawn by CXCurveRenderer; the control adds the cursor and the selection band.
//
// The control does not own its file. The time window comes from a window policy: the
// scroll bar's fractions unless a variant sets its own (the realtime control does).
#include <QWidget>
#include <utility>

#include "core/datafile/cxfile.h"
#include "core/view/curve_window.h"
#include "core/view/time_window_policy.h"
#include "core/view/value_scale.h"
#include "gui/common/back_buffer.h"
#include "gui/common/edge_rect.h"
#include "gui/curves/curve_renderer.h"

class CTimeScrollBar;

class CXCurveCtrl : public QWidget {
    Q_OBJECT
public:
    static constexpr int kTopMargin = CurveLayout::kTopMargin;
    static constexpr int kLeftMargin = CurveLayout::kLeftMargin;
    static constexpr int kBottomMargin = CurveLayout::kBottomMargin;
    static constexpr int kPanelWidth = 150;

    explicit CXCurveCtrl(QWidget* parent = nullptr);
    ~CXCurveCtrl() override;

    // The file stays the caller's.
    void SetFile(kvr::CXFile* file);
    kvr::CXFile* GetFile() const { return file_; }
    // Browse range, axis styles, value scale and grid from the file.
    void ApplyFileSettings();
    // While there is no file: the axes and the empty plot of a file with these display
    // settings, with the notice in the middle of the plot. Shown from the next redraw.
    void SetEmptyDisplay(const kvr::FileHeader& display, const QString& notice);
    // Stored only when end >= start.
    void SetBrowseRange(kvr::Time start, kvr::Time end);
    void SetWindowRange(kvr::Time start, kvr::Time end);
    std::pair<kvr::Time, kvr::Time> GetWindowRange() const;

    virtual void SetStartFraction(float fraction);
    virtual void SetWidthFraction(float fraction);

    // t = 0 means the cursor time. A point outside the browse range, or on the wrong
    // side of the edge that stays, changes nothing.
    void SetStartPoint(kvr::Time t);
    void SetEndPoint(kvr::Time t);
    // Window from a to b; with either time 0, the selection (which is then cleared).
    void ZoomTo(kvr::Time a, kvr::Time b);
    // Cursor mode, cursor at t, window of the same length centred on t.
    void GoTo(kvr::Time t);
    void SelectAll();
    // The selected part of the plot as a bitmap on the clipboard.
    void CopySelection();

    void SetSelectMode(int mode);
    bool IsSelectMode() const { return selectMode_ != 0; }
    std::pair<kvr::Time, kvr::Time> GetSelection() const { return {selStart_, selEnd_}; }
    // Selection mode with the span [a, b] selected (as a drag from a to b would).
    void SetSelection(kvr::Time a, kvr::Time b);
    // The cursor time; 0 in selection mode or when the cursor lies before the browse range.
    kvr::Time GetCursorTime() const;

    void SetScrollBar(CTimeScrollBar* scrollBar) { scrollBar_ = scrollBar; }
    void SetPanelShown(int shown) { panelShown_ = shown; }
    // Pixels kept free below the control for a panel docked under the curves.
    void SetBottomReserve(int pixels) { bottomReserve_ = pixels; }

    int TimeToPixel(kvr::Time t, int width) const;

    // Geometry in client pixels, for the owning view and for tests.
    QRect PlotRect() const { return layout_.plot.ToQRect(); }
    QRect ValueAxisRect() const { return layout_.valueAxis.ToQRect(); }
    QRect TimeAxisRect() const { return layout_.timeAxis.ToQRect(); }
    QRect MarkerStripRect() const { return layout_.markerStrip.ToQRect(); }
    // Where the read-out box was last drawn (empty when none).
    QRect ReadoutRect() const { return readout_.ToQRect(); }
    int PlotWidth() const { return layout_.plotWidth; }
    // What the control shows, for drawing it elsewhere (printing).
    const CurveScene& Scene() const { return scene_; }
    const kvr::ValueScale& Scale() const { return scale_; }
    // Envelope drawing (least and greatest sample of every column) or one sample a column.
    void SetEnvelopeShown(bool shown) { scene_.envelope = shown ? &envelope_ : nullptr; }
    bool EnvelopeShown() const { return scene_.envelope != nullptr; }

    // Layout, then a full redraw.
    virtual void Rebuild();
    // Frame, both axes, plot, then the cursor or the selection; then presents.
    virtual void RedrawAll();
    // Fits the control into its parent (less the channel panel when shown), then
    // recomputes the geometry, the layers, the window and the value scale.
    virtual void Layout();

public slots:
    // The scroll bar or the channel panel changed what is on screen: window, time axis,
    // plot, cursor or selection.
    virtual void redrawCurves();

signals:
    // A right-button release inside the plot; the owning view opens its context menu.
    void plotRightButtonReleased(const QPoint& globalPosition);
    // The time window changed (zoom, pan, scroll bar, go-to).
    void windowChanged();
    // The selection, or the mode it belongs to, changed; sent at most once per presented
    // frame, so a drag is followed frame by frame.
    void selectionChanged();

protected:
    // The window from the policy; the fraction policy when none was set. The policy stays
    // the caller's.
    void SetWindowPolicy(const kvr::TimeWindowPolicy* policy);
    void ComputeWindow();
    virtual void ComputeValueScale();
    virtual void DrawFrame();
    virtual void DrawValueAxis();
    virtual void DrawTimeAxis();
    virtual void DrawPlot();
    virtual void DrawCursor();
    virtual void DrawSelection();
    virtual void DrawReadout(int x, int y);
    virtual void Present();
    // The cursor in cursor mode, the selection in selection mode.
    void DrawCursorOrSelection();

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

    // For the realtime variant.
    kvr::CurveWindow& Window() { return window_; }
    const kvr::CurveWindow& Window() const { return window_; }
    CTimeScrollBar* ScrollBar() const { return scrollBar_; }
    int Interval() const { return window_.Interval(); }
    void SetCursorTime(kvr::Time t) { cursorTime_ = t; }

private:
    // Axis styles, value scale, grid.
    void ApplyDisplay(const kvr::FileHeader& header);
    // Rectangles, layers and plot width from the current size.
    void ApplyGeometry();
    bool LayersMatchWidget() const;
    // Before the first layout, or after a resize not laid out yet, a partial redraw has no
    // layers to draw on: redraws everything instead (true).
    bool RedrawIfStale();
    // Fraction changes made here are mirrored on the scroll bar.
    void SyncScrollBar();
    void ApplyWindowChange();
    // Redraw steps of a value-axis drag and of the cursor or selection.
    void RedrawAfterScaleChange();
    void ClearMarkerStrip();
    // Puts the plain plot layer back into the back buffer unless it is still there.
    void RestorePlot();

    CXCurveRenderer Renderer() const { return {scene_, layout_}; }
    QColor ContrastColor() const;

    // Input helpers.
    void PlaceCursor(const QPoint& point);
    void ExtendSelection(int x);
    // A press on either edge of the selection takes hold of that edge: the other one
    // becomes the fixed start of the drag. False when x is on neither.
    bool GrabSelectionEdge(int x);
    bool NearSelectionEdge(int x) const;
    void MoveCursorByKey(int direction);

    kvr::CXFile* file_ = nullptr;
    CTimeScrollBar* scrollBar_ = nullptr;
    kvr::CurveWindow window_;
    kvr::FractionWindowPolicy fractionPolicy_;
    const kvr::TimeWindowPolicy* policy_ = &fractionPolicy_;
    kvr::ValueScale scale_;
    kvr::MinMaxPyramid envelope_;

    CurveScene scene_;
    CurveLayout layout_;

    kvr::Time cursorTime_ = 0;
    int cursorX_ = 0;
    int cursorY_ = 0;
    kvr::Time selStart_ = 0;
    kvr::Time selEnd_ = 0;
    int selStartColumn_ = 0;
    int selEndColumn_ = 0;
    int selectMode_ = 0;

    QPoint lastPoint_;
    bool panDrag_ = false;
    bool stretchDrag_ = false;
    int panelShown_ = 0;
    int bottomReserve_ = 0;
    // What selectionChanged last announced.
    kvr::Time notifiedStart_ = 0, notifiedEnd_ = 0;
    int notifiedMode_ = 0;

    EdgeRect readout_;

    CXBackBuffer back_;
    CXBackBuffer frame_;
    CXBackBuffer plotLayer_;
    CXBackBuffer marker_;
    // The back buffer holds the plot layer as drawn, with no cursor or band over it.
    bool plotClean_ = false;
};
