// The curve renderer drawing a whole display on its own: the same pixels as the curve
// control at scale 1, the curves where the scale puts them at other scales, and the same
// picture on a device that is not an image.
#include <gtest/gtest.h>

#include <QPainter>
#include <QPixmap>

#include "gui/curves/curve_renderer.h"
#include "support/curve_test_support.h"

namespace {

using namespace guitest;

class CurveRendererTest : public RampCurveTest {
protected:
    QImage RenderImage(QSize size, qreal scale) const {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        CXCurveRenderer::Render(painter, image.rect(), scale, ctrl_->Scene());
        return image;
    }
};

TEST_F(CurveRendererTest, AtScaleOneDrawsWhatTheControlShows) {
    // No cursor yet: the control shows frame, axes and plot only.
    const QImage shown = Shot(*ctrl_);
    const QImage rendered = RenderImage(shown.size(), 1.0);
    ASSERT_EQ(rendered.size(), shown.size());
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            if (shown.pixel(x, y) != rendered.pixel(x, y)) ++differing;
    EXPECT_EQ(differing, 0);
}

TEST_F(CurveRendererTest, AtScaleTwoCurvesLandTwiceAsFarIn) {
    const QImage image = RenderImage(QSize(kWidth, kHeight) * 2, 2.0);
    const QRect plot = ctrl_->PlotRect();
    // Record r of channel 0 sits at plot column r and row ExpectedRow(r) at scale 1.
    for (const int record : {60, 300, 540}) {
        const QPoint at = (plot.topLeft() + QPoint(record, ExpectedRow(record))) * 2;
        const QRect around(at - QPoint(3, 3), QSize(7, 7));
        EXPECT_GT(CountColor(image, around, kRed), 0) << "record " << record;
        // Nothing of it at the place the unscaled picture would have it.
        const QPoint unscaled = plot.topLeft() + QPoint(record, ExpectedRow(record));
        EXPECT_EQ(CountColor(image, QRect(unscaled - QPoint(1, 1), QSize(3, 3)), kRed), 0);
    }
    // The frame scales too: the plot's left edge lies right of the doubled margin.
    EXPECT_EQ(
        CountColor(image, QRect(0, 0, 2 * CurveLayout::kLeftMargin - 2, image.height()), kRed), 0);
}

TEST_F(CurveRendererTest, APixmapReceivesTheSamePicture) {
    const QSize size(kWidth, kHeight);
    QPixmap pixmap(size);
    {
        QPainter painter(&pixmap);
        CXCurveRenderer::Render(painter, QRect(QPoint(0, 0), size), 1.0, ctrl_->Scene());
    }
    EXPECT_EQ(pixmap.toImage().convertToFormat(QImage::Format_RGB32), RenderImage(size, 1.0));
}

}  // namespace

namespace {

// Draws one axis strip at (margin, margin) of a larger white image without clipping, so
// that whatever a label would put outside the strip is seen.
QImage AxisWithRoom(const CXCurveRenderer& renderer, const QRect& strip, bool valueAxis,
                    int margin) {
    QImage image(strip.size() + QSize(2 * margin, 2 * margin), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.translate(margin, margin);
    if (valueAxis)
        renderer.DrawValueAxis(painter);
    else
        renderer.DrawTimeAxis(painter);
    return image;
}

bool IsInk(QColor c) { return c.lightness() < 128; }

}  // namespace

TEST_F(CurveRendererTest, AxisLabelsStayInsideTheirStrips) {
    const CurveLayout layout = CurveLayout::For(kWidth, kHeight);
    const CXCurveRenderer renderer(ctrl_->Scene(), layout);
    constexpr int kMargin = 30;
    for (const bool valueAxis : {true, false}) {
        const QRect strip = (valueAxis ? layout.valueAxis : layout.timeAxis).ToQRect();
        const QImage image = AxisWithRoom(renderer, strip, valueAxis, kMargin);
        const QRect inside(QPoint(kMargin, kMargin), strip.size());
        const int all = CountPixels(image, IsInk);
        EXPECT_GT(all, 0);
        EXPECT_EQ(CountPixels(image, inside, IsInk), all)
            << (valueAxis ? "value axis" : "time axis");
    }
    // The label of the top line is moved inside, not left out.
    const QImage value = AxisWithRoom(renderer, layout.valueAxis.ToQRect(), true, kMargin);
    EXPECT_GT(CountPixels(value, QRect(kMargin, kMargin, layout.valueAxis.Width() - 8, 14), IsInk),
              0);
}
