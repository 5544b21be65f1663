// The bar gauges, the live dial and the circular chart, rendered offscreen and checked
// pixel by pixel where a user would look.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QMenu>
#include <QTabBar>
#include <memory>

#include "core/datafile/cxfile.h"
#include "core/datafile/sample_file.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/bar_panel_ctrl.h"
#include "gui/charts/bar_view.h"
#include "gui/charts/circle_chart_ctrl.h"
#include "gui/charts/dial_painter.h"
#include "gui/charts/range_dial_ctrl.h"
#include "gui/charts/rrange_view.h"
#include "gui/common/color_ref.h"
#include "gui/common/command_ids.h"
#include "gui/common/view_host.h"
#include "support/test_support.h"

namespace {

// Whether the colour appears within one pixel of p (lines are drawn between rounded points).
bool ColourNear(const QImage& image, QPoint p, const QColor& colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (image.pixelColor(p + QPoint(dx, dy)) == colour) return true;
    return false;
}

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_gui_charts";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class Charts : public ::testing::Test {
protected:
    void SetUp() override { App(); }

    // A sample file whose channel 0 holds `value(record)`; the others keep their curves.
    std::unique_ptr<kvr::CXFile> Open(const std::function<float(int)>& value, int records = 1440,
                                      int interval = 60) {
        kvr::SampleOptions options;
        options.records = records;
        options.interval = interval;
        if (value)
            options.sample = [value](int c, int r) {
                return c == 0 ? value(r) : kvr::RampSample(c, r) / 1000.0f;
            };
        const std::string path = dir_.file("f" + std::to_string(++files_) + ".FDZ");
        EXPECT_TRUE(kvr::WriteSampleFile(path, options));
        auto file = std::make_unique<kvr::CXFile>();
        EXPECT_EQ(file->Open(path), 1);
        return file;
    }
    std::pair<float, float> Range0() {
        auto file = Open({});
        return {file->GetRangeLow(0), file->GetRangeHigh(0)};
    }

    kvrtest::TempDir dir_;
    int files_ = 0;
};

TEST_F(Charts, BarFillsFullAboveRangeAndStaysEmptyBelow) {
    const auto [low, high] = Range0();
    for (const bool above : {true, false}) {
        auto file = Open([&](int) { return above ? high + (high - low) : low - (high - low); });
        std::unique_ptr<QWidget> view(CreateBarWindowView(file.get()));
        auto* small = dynamic_cast<CMinBarView*>(view.get());
        ASSERT_NE(small, nullptr) << "six channels in use need no tabs";
        view->resize(900, 600);
        view->show();
        EXPECT_EQ(small->Panel()->CellCount(), 6);
        EXPECT_EQ(small->Panel()->Columns(), 3);
        const QImage picture = small->Panel()->Picture();
        const QRect bar = small->Panel()->BarRect(0);
        const QColor top = picture.pixelColor(bar.center().x(), bar.top() + 1);
        const QColor bottom = picture.pixelColor(bar.center().x(), bar.bottom() - 1);
        if (above) {
            EXPECT_NE(top, QColor(Qt::black));
            EXPECT_NE(bottom, QColor(Qt::black));
        } else {
            EXPECT_EQ(top, QColor(Qt::black));
            EXPECT_EQ(bottom, QColor(Qt::black));
        }
    }
}

TEST_F(Charts, ThirteenChannelsPageWithTabsAndHeatTotalFollowsTheConfiguration) {
    auto file = Open({});
    // Pretend seven more channels are in use: the pages count them, the values stay bounded.
    file->Header().channelCount = 13;
    for (int c = 6; c < 13; ++c) file->Header().channels[c] = file->Header().channels[c % 6];
    std::unique_ptr<QWidget> view(CreateBarWindowView(file.get()));
    auto* paged = dynamic_cast<CBarView*>(view.get());
    ASSERT_NE(paged, nullptr);
    view->resize(1200, 700);
    view->show();
    EXPECT_EQ(paged->Tabs()->count(), 2);
    EXPECT_EQ(paged->Tabs()->tabText(1), QStringLiteral("第2组"));
    paged->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(paged->Panel()->CellCount(), 1);
    EXPECT_EQ(paged->Panel()->Columns(), 3);

    file->Header().config[0x3F1] = 0;
    paged->Panel()->Refresh();
    const QImage withoutHeat = paged->Panel()->Picture();
    file->Header().config[0x3F1] = 1;
    paged->Panel()->Refresh();
    EXPECT_NE(paged->Panel()->Picture(), withoutHeat)
        << "the heat total appears when heat is computed";
}

// Rows of `area` in which some pixel is not black.
std::vector<int> InkRows(const QImage& image, const QRect& area) {
    std::vector<int> rows;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) != QColor(Qt::black)) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST_F(Charts, BarScaleLabelsSitOnTheirTicksAndTitlesClearTheBar) {
    auto file = Open({});
    std::unique_ptr<QWidget> view(CreateBarWindowView(file.get()));
    auto* bars = dynamic_cast<CMinBarView*>(view.get());
    ASSERT_NE(bars, nullptr);
    view->show();
    for (const QSize size : {QSize(640, 480), QSize(1200, 700), QSize(1600, 1000)}) {
        view->resize(size);
        CBarPanelCtrl* panel = bars->Panel();
        panel->Layout();
        const QImage picture = panel->Picture();
        for (int cell = 0; cell < panel->CellCount(); ++cell) {
            SCOPED_TRACE(testing::Message()
                         << size.width() << "x" << size.height() << " cell " << cell);
            const QRect bar = panel->BarRect(cell);
            const CBarPanelCtrl::CellTexts texts = panel->Texts(cell);
            ASSERT_EQ(texts.labels.size(), 6u);
            for (std::size_t k = 0; k < texts.labels.size(); ++k) {
                const QRect label = texts.labels[k];
                EXPECT_LE(std::abs(label.center().y() - texts.tickRows[k]), 1) << "label " << k;
                // The digits drawn there are centred on the tick too.
                const std::vector<int> ink = InkRows(picture, label.adjusted(0, 0, -2, 0));
                ASSERT_FALSE(ink.empty()) << "label " << k;
                EXPECT_LE(std::abs((ink.front() + ink.back()) / 2 - texts.tickRows[k]), 3)
                    << "label " << k;
            }
            EXPECT_LT(texts.title.bottom(), texts.labels.front().top());
            EXPECT_GT(texts.readout.top(), texts.labels.back().bottom());
            // No stroke of the title comes within two rows of the bar's box (drawn at
            // bar.top() - 2).
            const QRect aboveBox(bar.left(), texts.title.top(), bar.width(),
                                 bar.top() - 2 - texts.title.top());
            const std::vector<int> titleInk = InkRows(picture, aboveBox);
            ASSERT_FALSE(titleInk.empty());
            EXPECT_LT(titleInk.back(), bar.top() - 4);
        }
    }
}

TEST_F(Charts, CircularChartPutsRangeLowInsideAndRangeHighOnTheOuterCircle) {
    const auto [low, high] = Range0();
    for (const bool atHigh : {false, true}) {
        auto file = Open([&](int) { return atHigh ? high : low; }, 1440, 60);
        CCircleChartCtrl chart;
        chart.SetFile(file.get());
        chart.SetChannel(0);
        chart.SetSpanStart(file->GetStartTime());
        chart.SetSpanEnd(file->GetEndTime());
        chart.resize(700, 600);
        chart.Layout();
        EXPECT_EQ(chart.PointsDrawn(), 1440);
        const DialFrame frame{chart.Centre(), chart.Radius(), 10};
        const QColor colour = ColorFromRef(file->Header().channels[0].color);
        // Step 180 is 3 o'clock; step 540 is 9 o'clock.
        for (const int step : {180, 540}) {
            const QPointF p = DialPoint(frame, atHigh ? 100 : 0, step, 1440);
            EXPECT_TRUE(ColourNear(chart.Picture(), p.toPoint(), colour)) << "step " << step;
            // ... and nowhere near the other end of the scale.
            const QPointF other = DialPoint(frame, atHigh ? 0 : 100, step, 1440);
            EXPECT_FALSE(ColourNear(chart.Picture(), other.toPoint(), colour)) << "step " << step;
        }
    }
}

TEST_F(Charts, CircularChartDrawsEveryDayOfASpan) {
    auto file = Open({}, 3 * 24, 3600);
    CCircleChartCtrl chart;
    chart.SetFile(file.get());
    chart.SetChannel(0);
    // A span reaching past the file is clamped to it.
    chart.SetSpanStart(file->GetStartTime() - 86400);
    chart.SetSpanEnd(file->GetEndTime() + 86400);
    chart.resize(600, 500);
    chart.Layout();
    EXPECT_EQ(chart.PointsDrawn(), 72);
}

TEST_F(Charts, LiveDialGroupsSixChannelsAndShowsTheRecentHours) {
    auto file = Open({});
    file->Header().pieTimeIndex = 2;
    file->Header().pieGridCount = 10;
    CRRangeView view(file.get());
    view.resize(1000, 700);
    view.show();
    EXPECT_EQ(view.Tabs()->count(), 1);
    view.Dial()->Refresh();
    const QImage picture = view.Dial()->Picture();
    const QColor background = ColorFromRef(file->Header().backgroundColor);
    // The chart area is painted in the file's background, the legend strip is not.
    const QPointF centre = view.Dial()->Centre();
    EXPECT_EQ(picture.pixelColor(QPoint(4, 4)), background);
    EXPECT_NE(picture.pixelColor(QPoint(view.Dial()->width() - 10, view.Dial()->height() / 2)),
              background);
    EXPECT_GT(centre.x(), 0);
}

TEST_F(Charts, DialLegendFitsItsStripAndKeepsLightColoursReadable) {
    auto file = Open({});
    kvr::FileHeader& header = file->Header();
    header.channels[0].color = 0xFFFFFF;  // white
    header.channels[1].color = 0x00FFFF;  // yellow
    header.flowTotal = 123456789012;
    CRRangeView view(file.get());
    view.show();
    const QColor strip(255, 255, 225);
    for (const QSize size : {QSize(640, 480), QSize(800, 600), QSize(1200, 800)}) {
        view.resize(size);
        view.Dial()->Layout();
        const QRect legend = view.Dial()->LegendRect();
        const CRangeDialCtrl::LegendLayout layout = view.Dial()->Legend();
        ASSERT_GE(layout.texts.size(), 10u);
        for (const auto& text : layout.texts) {
            SCOPED_TRACE(text.text.toStdString());
            EXPECT_TRUE(legend.contains(text.box)) << size.width() << "x" << size.height();
            EXPECT_LE(QFontMetrics(text.font).horizontalAdvance(text.text), text.box.width())
                << size.width() << "x" << size.height();
            EXPECT_GE(ContrastRatio(text.colour, strip), 3.0);
        }
        ASSERT_FALSE(layout.swatches.empty());
    }
}

TEST_F(Charts, LiveDialOffersTheFileInformationFromTheMenuAndARightClick) {
    auto file = Open({});
    std::vector<kvr::CXFile*> opened;
    RegisterChildFactory(ChildWindow::kFileInfo, [&](const ChildRequest& request) -> QWidget* {
        opened.push_back(request.file);
        return nullptr;
    });
    CRRangeView view(file.get());
    EXPECT_TRUE(view.HandlesCommand(cmd::kFileInfo));
    EXPECT_TRUE(view.IsCommandEnabled(cmd::kFileInfo));
    std::unique_ptr<QMenu> menu(view.BuildContextMenu());
    ASSERT_EQ(menu->actions().size(), 1);
    QAction* item = menu->actions().front();
    EXPECT_EQ(item->text(), QStringLiteral("文件信息(&F)..."));
    EXPECT_TRUE(item->isEnabled());
    item->trigger();
    EXPECT_EQ(opened, std::vector<kvr::CXFile*>{file.get()});
    UnregisterChildFactory(ChildWindow::kFileInfo);
    EXPECT_FALSE(view.IsCommandEnabled(cmd::kFileInfo));
}

TEST(ColorRef, LegibleOnDarkensLightColoursOnLightGroundsAndLightensDarkOnDark) {
    const QColor light(255, 255, 225), dark(Qt::black);
    for (const QColor colour : {QColor(Qt::white), QColor(Qt::yellow), QColor(Qt::cyan),
                                QColor(0, 255, 0), QColor(Qt::blue), QColor(Qt::red)}) {
        const QColor onLight = LegibleOn(colour, light);
        EXPECT_GE(ContrastRatio(onLight, light), 3.0) << colour.name().toStdString();
        EXPECT_NEAR(onLight.hsvHue(), colour.hsvHue(), 2);
        EXPECT_GE(ContrastRatio(LegibleOn(colour, dark), dark), 3.0);
    }
    // Colours that already stand out are kept.
    EXPECT_EQ(LegibleOn(QColor(Qt::blue), light), QColor(Qt::blue));
    EXPECT_EQ(LegibleOn(QColor(Qt::yellow), dark), QColor(Qt::yellow));
}

}  // namespace
