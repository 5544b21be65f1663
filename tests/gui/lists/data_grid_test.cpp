// The data grid as the user sees it: rendered rows, colours, selection, copying, resizing.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QScrollBar>
#include <QTest>

#include "core/view/grid_copy.h"
#include "gui/common/system_colors.h"
#include "gui/lists/grid_cells.h"
#include "support/gui_test_support.h"

using guitest::Cell;
using guitest::ExpectedCell;
using kvr::Time;
using kvrtest::SampleStart;

namespace {

class DataGridTest : public ::testing::Test {
protected:
    void SetUp() override { guitest::App(); }

    // A grid of 1000 x 400 pixels on a ramp file.
    void Show(kvr::SampleOptions options) {
        file_ = kvrtest::OpenSampleFile(dir_, options);
        ASSERT_TRUE(file_);
        // No alarm bands, so that every value is black unless a test sets a band.
        for (kvr::ChannelDescriptor& channel : file_->Header().channels)
            channel.alarmLow = channel.alarmHigh = kvr::DecimalTriple{};
        grid_.resize(1000, 400);
        grid_.SetFile(file_.get());
    }

    // The cell shows exactly `text` on the background of its column.
    void ExpectCell(const QImage& shot, int row, int column, const QString& text,
                    QColor color = Qt::black) {
        const QColor background =
            column == kSequenceColumn ? ButtonFaceColor() : ButtonHighlightColor();
        const QImage actual = Cell(shot, grid_, row, column);
        const QImage expected = ExpectedCell(grid_, column, text, color, background);
        EXPECT_TRUE(actual == expected) << "row " << row << ", column " << column
                                        << " should show \"" << text.toStdString() << '"';
        if (actual != expected && qEnvironmentVariableIsSet("KVR_DUMP")) {
            shot.save(QStringLiteral("/tmp/h5_shot.png"));
            actual.save(QStringLiteral("/tmp/h5_actual.png"));
            expected.save(QStringLiteral("/tmp/h5_expected.png"));
        }
    }

    QScrollBar* Bar(Qt::Orientation orientation) {
        for (QScrollBar* bar : grid_.findChildren<QScrollBar*>())
            if (bar->orientation() == orientation) return bar;
        return nullptr;
    }

    void Move(QPoint pos, Qt::MouseButtons buttons) {
        QMouseEvent event(QEvent::MouseMove, pos, grid_.mapToGlobal(pos), Qt::NoButton, buttons,
                          Qt::NoModifier);
        QApplication::sendEvent(&grid_, &event);
    }

    kvrtest::TempDir dir_;
    std::unique_ptr<kvr::CXFile> file_;
    CXDataGrid grid_;
};

int RowY(int row) { return row * CXDataGrid::kRowHeight + CXDataGrid::kRowHeight / 2; }

}  // namespace

TEST_F(DataGridTest, RowsFollowTheRowStep) {
    Show(kvrtest::SampleRecords(20, 10));
    grid_.SetRowStep(3);
    grid_.Redraw();
    const QImage shot = guitest::Shot(grid_);
    // Row k shows record 3(k-1): sequence k, its time, its value.
    for (int row = 1; row <= 7; ++row) {
        const int record = 3 * (row - 1);
        ExpectCell(shot, row, kSequenceColumn, QString::number(row));
        ExpectCell(shot, row, kTimeColumn,
                   QString::fromStdString(kvr::FormatTime(SampleStart() + record * 10)));
        ExpectCell(shot, row, kFirstChannelColumn + 1, QStringLiteral("%1.000").arg(1000 + record));
    }
    ExpectCell(shot, 8, kSequenceColumn, QString());  // record 21 lies past the end
}

TEST_F(DataGridTest, OneRecordFileShowsOneRow) {
    Show(kvrtest::SampleRecords(1));
    const QImage shot = guitest::Shot(grid_);
    ExpectCell(shot, 1, kSequenceColumn, QStringLiteral("1"));
    ExpectCell(shot, 1, kTimeColumn, QStringLiteral("2026-01-05 00:00:00"));
    ExpectCell(shot, 1, kFirstChannelColumn, QStringLiteral("0.00"));
    ExpectCell(shot, 2, kSequenceColumn, QString());
    ExpectCell(shot, 2, kTimeColumn, QString());
}

TEST_F(DataGridTest, MomentsWithoutARecordShowDashes) {
    kvr::SampleOptions options = kvrtest::SampleRecords(8);
    options.capacity = 5;
    Show(options);
    const QImage shot = guitest::Shot(grid_);
    ExpectCell(shot, 5, kFirstChannelColumn, QStringLiteral("4.00"));
    ExpectCell(shot, 6, kFirstChannelColumn, QStringLiteral("----"));
    ExpectCell(shot, 6, kTimeColumn, QStringLiteral("2026-01-05 00:05:00"));  // the row remains
}

TEST_F(DataGridTest, RedOnlyOutsideARealAlarmBand) {
    Show(kvrtest::SampleRecords(12));
    kvr::ChannelDescriptor& channel = file_->Header().channels[0];
    channel.alarmLow = kvr::DecimalTriple::Encode(1.0f, 2);
    channel.alarmHigh = kvr::DecimalTriple::Encode(4.0f, 2);
    grid_.Redraw();
    QImage shot = guitest::Shot(grid_);
    // Records 0..11 hold 0..11: 1 and 4 are on the limits and stay black.
    for (int record = 0; record < 12; ++record) {
        const bool outside = record < 1 || record > 4;
        const int red = guitest::CountPixels(Cell(shot, grid_, record + 1, kFirstChannelColumn),
                                             guitest::IsRed);
        EXPECT_EQ(red > 0, outside) << "record " << record << ": " << red << " red pixels";
        if (!outside)
            ExpectCell(shot, record + 1, kFirstChannelColumn, QStringLiteral("%1.00").arg(record));
    }
    ExpectCell(shot, 1, kFirstChannelColumn, QStringLiteral("0.00"), QColor(255, 0, 0));

    channel.alarmHigh = kvr::DecimalTriple::Encode(1.0f, 2);  // high == low: no band
    grid_.Redraw();
    shot = guitest::Shot(grid_);
    EXPECT_EQ(guitest::CountPixels(shot, guitest::IsRed), 0);
}

TEST_F(DataGridTest, ChannelsNotInUseHaveNoColumn) {
    kvrtest::TempDir dir;
    auto file = kvrtest::OpenSampleFile(dir, kvrtest::SampleRecords(5));
    ASSERT_TRUE(file);
    file->Header().channels[1].showState = 2;
    CXDataGrid grid;
    grid.resize(1000, 300);
    grid.SetFile(file.get());
    EXPECT_EQ(grid.ColumnWidth(kFirstChannelColumn + 1), 0);
    // "PDT101差压" + "kPa" is 13 GBK bytes: 9 pixels each.
    EXPECT_EQ(grid.ColumnWidth(kFirstChannelColumn), 117);
    EXPECT_EQ(grid.ColumnWidth(kFirstChannelColumn + 3), 63);  // "流量t/h": 7 bytes
    EXPECT_EQ(grid.ColumnWidth(kFirstChannelColumn + 5), 60)
        << "\"热量GJ\" is 6 bytes: at least 60";
    EXPECT_EQ(grid.ColumnWidth(kFirstChannelColumn + 6), kWidthSentinel);
}

TEST_F(DataGridTest, SelectionCopiesTheSameTextEitherWay) {
    Show(kvrtest::SampleRecords(30));
    const std::string expected =
        kvr::BuildGridCopyText(*file_, SampleStart() + 60, SampleStart() + 180);

    QTest::mouseClick(&grid_, Qt::LeftButton, Qt::NoModifier, QPoint(100, RowY(4)));
    QTest::mouseClick(&grid_, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, RowY(2)));
    EXPECT_EQ(grid_.GetSelection().anchor, SampleStart() + 180);
    EXPECT_EQ(grid_.GetSelection().end, SampleStart() + 60);
    QApplication::clipboard()->clear();
    grid_.CopySelection();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), expected) << "upward selection";

    QTest::mouseClick(&grid_, Qt::LeftButton, Qt::NoModifier, QPoint(100, RowY(2)));
    QTest::mouseClick(&grid_, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, RowY(4)));
    QApplication::clipboard()->clear();
    grid_.CopySelection();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), expected) << "downward selection";

    // Selected rows are filled with the button-face colour.
    const QImage shot = guitest::Shot(grid_);
    EXPECT_EQ(shot.pixelColor(500, RowY(3) + 5), ButtonFaceColor());
    EXPECT_EQ(shot.pixelColor(500, RowY(6) + 5), ButtonHighlightColor());

    // The header row selects nothing.
    QTest::mouseClick(&grid_, Qt::LeftButton, Qt::NoModifier, QPoint(100, 5));
    EXPECT_EQ(grid_.GetSelection().anchor, SampleStart() + 60);
}

TEST_F(DataGridTest, CopyingWithoutSelectionLeavesTheClipboard) {
    Show(kvrtest::SampleRecords(5));
    QApplication::clipboard()->setText(QStringLiteral("before"));
    grid_.CopySelection();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("before"));
    grid_.SelectAll();
    grid_.CopySelection();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              kvr::BuildGridCopyText(*file_, file_->GetStartTime(), file_->GetEndTime()));
}

TEST_F(DataGridTest, ColumnBorderDragStopsAtFivePixels) {
    Show(kvrtest::SampleRecords(5));
    const int border = grid_.ColumnWidth(0) + grid_.ColumnWidth(1);  // right edge of "时间"
    Move(QPoint(border + 1, 10), Qt::NoButton);
    EXPECT_EQ(grid_.cursor().shape(), Qt::SplitHCursor);
    QTest::mousePress(&grid_, Qt::LeftButton, Qt::NoModifier, QPoint(border + 1, 10));
    Move(QPoint(border - 400, 10), Qt::LeftButton);
    EXPECT_EQ(grid_.ColumnWidth(kTimeColumn), CXDataGrid::kMinColumnWidth);
    // The drag point stayed where the column stopped shrinking.
    Move(QPoint(border + 81, 10), Qt::LeftButton);
    EXPECT_EQ(grid_.ColumnWidth(kTimeColumn), CXDataGrid::kMinColumnWidth + 80);
    QTest::mouseRelease(&grid_, Qt::LeftButton, Qt::NoModifier, QPoint(border + 81, 10));
    Move(QPoint(500, 200), Qt::NoButton);
    EXPECT_NE(grid_.cursor().shape(), Qt::SplitHCursor);
    EXPECT_EQ(grid_.ColumnWidth(kTimeColumn), CXDataGrid::kMinColumnWidth + 80);
}

TEST_F(DataGridTest, ScrollingInputs) {
    Show(kvrtest::SampleRecords(1000));
    QScrollBar* vertical = Bar(Qt::Vertical);
    ASSERT_TRUE(vertical && vertical->isVisibleTo(&grid_));
    EXPECT_EQ(vertical->maximum(), 1000);

    grid_.SetAutoScroll(true);
    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(grid_.GetTopTime(), SampleStart() + 100 * 60);
    EXPECT_FALSE(grid_.GetAutoScroll()) << "any use of the bar stops following";
    vertical->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(grid_.GetTopTime(), SampleStart() + 90 * 60);
    EXPECT_EQ(vertical->value(), 90);

    QWheelEvent wheel(QPointF(100, 100), grid_.mapToGlobal(QPointF(100, 100)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&grid_, &wheel);
    EXPECT_EQ(grid_.GetTopTime(), SampleStart() + 95 * 60);
    // A sideways wheel and the empty event that ends a touchpad gesture leave the rows alone.
    for (QPoint delta : {QPoint(120, 0), QPoint(0, 0)}) {
        QWheelEvent sideways(QPointF(100, 100), grid_.mapToGlobal(QPointF(100, 100)), QPoint(),
                             delta, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&grid_, &sideways);
        EXPECT_EQ(grid_.GetTopTime(), SampleStart() + 95 * 60)
            << "wheel delta " << delta.x() << "," << delta.y();
    }
    QTest::keyClick(&grid_, Qt::Key_Up);
    EXPECT_EQ(grid_.GetTopTime(), SampleStart() + 94 * 60);

    grid_.ScrollDown(5000);
    grid_.Redraw();
    EXPECT_EQ(grid_.GetTopTime(), file_->GetEndTime());
    const QImage shot = guitest::Shot(grid_);
    ExpectCell(shot, 1, kSequenceColumn, QStringLiteral("1000"));
    ExpectCell(shot, 2, kSequenceColumn, QString());

    grid_.GoToTime(SampleStart() + 10 * 60 + 30);
    EXPECT_EQ(grid_.GetTopTime(), SampleStart() + 10 * 60);
    EXPECT_EQ(grid_.GetSelection().anchor, SampleStart() + 10 * 60);

    QScrollBar* horizontal = Bar(Qt::Horizontal);
    ASSERT_TRUE(horizontal);
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(grid_.GetFirstChannel(), 1);
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(grid_.GetFirstChannel(), 0);
}

TEST_F(DataGridTest, ScrolledChannelsMoveLeft) {
    Show(kvrtest::SampleRecords(5));
    Bar(Qt::Horizontal)->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    const QImage shot = guitest::Shot(grid_);
    // The first channel column now holds channel 2 ("PT101压力", "%.3f").
    const QImage cell = shot.copy(grid_.ColumnWidth(0) + grid_.ColumnWidth(1) + 1, RowY(1) - 9,
                                  grid_.ColumnWidth(kFirstChannelColumn + 1) - 1, 19);
    EXPECT_EQ(cell, ExpectedCell(grid_, kFirstChannelColumn + 1, QStringLiteral("1000.000"),
                                 Qt::black, ButtonHighlightColor()));
}
