#pragma once
// CXCurveRenderer: the drawing of a curve display as plain painter code: the frame with
// its mode caption, the value axis, the time axis, the plot (background, grid, curves,
// tags and value labels), the cursor marker and the read-out box. The interactive curve
// control paints its layers with it; printing and other displays render a whole display
// into any rectangle of any paint device at a scale.
//
// What is drawn is described by a CurveScene: the file, the time window and the value
// scale are the caller's and are read, never changed.
#include <QFont>
#include <QRect>
#include <array>
#include <functional>
#include <optional>

#include "core/datafile/cxfile.h"
#include "core/view/curve_window.h"
#include "core/view/min_max_pyramid.h"
#include "core/view/value_scale.h"
#include "gui/common/edge_rect.h"

class QPainter;

struct CurveScene {
    const kvr::CXFile* file = nullptr;
    const kvr::CurveWindow* window = nullptr;
    const kvr::ValueScale* scale = nullptr;
    int xStyle = 0;      // 0: time of day, else date and time
    int gridCount = 10;  // vertical divisions of the plot
    int valueMode = 0;   // 0: percent of range, else engineering values
    bool gridShown = true;
    // When set, the curves show the least and greatest sample of every column (the
    // caller's pyramid, brought up to the file's records as it draws); else one sample.
    kvr::MinMaxPyramid* envelope = nullptr;
    // Paper is white whatever the file's background, with a light grid.
    bool onPaper = false;
    QFont axisFont;
    QFont captionFont;
    // Without a file the plot is black, unless a display waiting for its file asks for its
    // own colours and a notice in the middle of the plot (no curves, no time labels).
    struct EmptyPlot {
        std::uint32_t background = 0;
        std::uint32_t grid = 0;
        QString notice;
    };
    std::optional<EmptyPlot> empty;

    kvr::Time ColumnTime(int column, int width) const;
    std::uint32_t Background() const;
    std::uint32_t GridColor() const;
    int TimeColumn(kvr::Time t, int width) const { return window->TimeToPixel(t, width); }
    // The fonts the curve displays use.
    static QFont DefaultAxisFont();
    static QFont DefaultCaptionFont();
};

// Where the parts of a display of a given size lie (exclusive right and bottom edges).
struct CurveLayout {
    static constexpr int kTopMargin = 10;
    static constexpr int kLeftMargin = 50;
    static constexpr int kBottomMargin = 24;

    EdgeRect client;
    EdgeRect plot;
    EdgeRect valueAxis;
    EdgeRect timeAxis;
    EdgeRect markerStrip;
    int plotWidth = 0;

    static CurveLayout For(int width, int height);
    // The frame less the plot: the plot covers the rest.
    std::array<EdgeRect, 4> FrameParts() const;
};

class CXCurveRenderer {
public:
    CXCurveRenderer(const CurveScene& scene, const CurveLayout& layout)
        : scene_(scene), layout_(layout) {}

    // The whole display (frame, axes, plot) into target, laid out for target's size divided
    // by scale: at 600 dpi a scale of 6.25 gives the proportions of a 96 dpi screen. The
    // value scale is recomputed for that layout. Raster operations of the marks need an
    // image: other devices (printers) receive the display as an image of target's size.
    static void Render(QPainter& painter, const QRect& target, qreal scale,
                       const CurveScene& scene);

    // The steps. Frame: client coordinates. Axes: the axis strip's own coordinates.
    // Plot: plot coordinates, on an image. Marker: marker-strip coordinates.
    void DrawFrame(QPainter& painter) const;
    void DrawValueAxis(QPainter& painter) const;
    void DrawTimeAxis(QPainter& painter) const;
    void DrawPlot(QPainter& painter) const;
    void DrawMarker(QPainter& painter, int stripX) const;
    // The read-out box for the cursor at client column x and time t, in client
    // coordinates; returns where it was drawn (empty when the plot has no room).
    EdgeRect DrawReadout(QPainter& painter, int x, kvr::Time t) const;

private:
    int GridColumn(int i) const;
    void DrawGrid(QPainter& painter) const;
    void DrawCurves(QPainter& painter) const;
    void DrawMarks(QPainter& painter) const;
    void DrawEmptyPlot(QPainter& painter) const;

    const CurveScene& scene_;
    const CurveLayout& layout_;
};
