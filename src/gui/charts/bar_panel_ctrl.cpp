#include "gui/charts/bar_panel_ctrl.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <cmath>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/charts/chart_text.h"
#include "gui/common/color_ref.h"
#include "gui/common/system_colors.h"

namespace {
constexpr int kSeparator = 4;    // raised bars between the cells
constexpr int kScaleTicks = 11;  // tenths of the bar height
constexpr int kTickGap = 3;      // between the bar's box and the ticks
constexpr int kLongTick = 8;     // a labelled tick; the others are half as long

int ReadoutFont(int baseFont) { return baseFont * 22 / 10; }

QImage MakeLayer(const QSize& size, qreal ratio) {
    QImage image(std::max(1, static_cast<int>(std::ceil(size.width() * ratio))),
                 std::max(1, static_cast<int>(std::ceil(size.height() * ratio))),
                 QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(ButtonFaceColor());
    return image;
}

void DrawRaisedBar(QPainter& painter, const QRect& rect) {
    painter.fillRect(rect, ButtonFaceColor());
    painter.setPen(ButtonHighlightColor());
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(ButtonShadowColor());
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void DrawTriangle(QPainter& painter, int x, int y, int size, const QColor& color) {
    QPainterPath path;
    path.moveTo(x, y);
    path.lineTo(x + size, y - size / 2.0);
    path.lineTo(x + size, y + size / 2.0);
    path.closeSubpath();
    painter.fillPath(path, color);
}
}  // namespace

CBarPanelCtrl::CBarPanelCtrl(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CBarPanelCtrl::SetFile(kvr::CXFile* file) {
    file_ = file;
    Layout();
}

void CBarPanelCtrl::SetGroups(int groupCount, int selectedGroup) {
    groups_ = std::max(groupCount, 1);
    group_ = std::clamp(selectedGroup, 0, groups_ - 1);
}

int CBarPanelCtrl::TotalsFont() const { return std::clamp(height() / 40, 10, 24); }

// The totals have a strip of their own under the grid, two lines high.
int CBarPanelCtrl::GridHeight() const { return std::max(height() - 3 * TotalsFont() - 8, 1); }

int CBarPanelCtrl::BaseFont() const { return columns_ > 0 ? width() / columns_ / 12 : 1; }

void CBarPanelCtrl::BuildCells() {
    cells_.clear();
    columns_ = 0;
    if (!file_) return;
    const std::vector<int> inUse = kvr::ChannelsInUse(*file_);
    const int count =
        kvr::CellsInGroup(static_cast<int>(inUse.size()), kvr::kBarCellsPerGroup, group_);
    const std::optional<int> columns = kvr::BarGridColumns(count);
    if (!columns) return;
    columns_ = *columns;
    const int cellWidth = width() / columns_;
    const int cellHeight = GridHeight() / kvr::kBarGridRows;
    const int font = BaseFont();
    // The rows come from the fonts as drawn: the CJK faces that stand in for the title
    // font are taller than their pixel size. The scale's end labels are centred on the end
    // ticks and so reach half a label above and below the bar; the title and the read-out
    // keep clear of them.
    const int titleHeight = QFontMetrics(ChartFont(font)).height();
    const int halfLabel = QFontMetrics(ChartFont(font * 8 / 10)).height() / 2 + 2;
    const int readoutHeight = QFontMetrics(ChartFont(ReadoutFont(font), 900)).height();
    for (int k = 0; k < count; ++k) {
        Cell cell;
        cell.channel = inUse[group_ * kvr::kBarCellsPerGroup + k];
        cell.rect =
            QRect((k % columns_) * cellWidth, (k / columns_) * cellHeight, cellWidth, cellHeight);
        const QRect inner = cell.rect.adjusted(kSeparator / 2 + 2, kSeparator / 2 + 2,
                                               -kSeparator / 2 - 2, -kSeparator / 2 - 2);
        cell.title = QRect(inner.left(), inner.top(), inner.width(), titleHeight);
        const int barTop = cell.title.bottom() + 1 + halfLabel;
        const int readoutTop = std::max(inner.bottom() + 1 - readoutHeight, barTop + 2 * halfLabel);
        const int barBottom = std::max(readoutTop - halfLabel, barTop + 1);
        cell.bar =
            QRect(cell.rect.left() + cellWidth / 3, barTop, cellWidth / 3, barBottom - barTop);
        cell.readout = QRect(cell.rect.left() + cellWidth / 6, readoutTop, cellWidth * 2 / 3,
                             std::max(inner.bottom() + 1 - readoutTop, 1));
        cells_.push_back(cell);
    }
}

int CBarPanelCtrl::TickRow(const Cell& cell, int tick) const {
    return cell.bar.top() + (cell.bar.height() - 1) * tick / (kScaleTicks - 1);
}

// Right-aligned against the ticks and centred on the tick's row.
QRect CBarPanelCtrl::ScaleLabel(const Cell& cell, int tick) const {
    const int height = QFontMetrics(ChartFont(BaseFont() * 8 / 10)).height();
    const int left = cell.rect.left() + kSeparator / 2 + 2;
    const int right = cell.bar.left() - kTickGap - kLongTick - 2;
    const int row = TickRow(cell, tick);
    return QRect(left, row - height / 2, std::max(right - left, 1), height);
}

CBarPanelCtrl::CellTexts CBarPanelCtrl::Texts(int index) const {
    const Cell& cell = cells_.at(index);
    CellTexts texts{cell.title, cell.readout, {}, {}};
    for (int k = 0; k < kScaleTicks; k += 2) {
        texts.tickRows.push_back(TickRow(cell, k));
        texts.labels.push_back(ScaleLabel(cell, k));
    }
    return texts;
}

void CBarPanelCtrl::Layout() {
    const qreal ratio = devicePixelRatioF();
    background_ = MakeLayer(size(), ratio);
    picture_ = MakeLayer(size(), ratio);
    BuildCells();
    DrawBackground();
    Refresh();
}

void CBarPanelCtrl::DrawBackground() {
    if (!file_ || columns_ == 0) return;
    QPainter painter(&background_);
    painter.fillRect(rect(), Qt::black);
    const int cellWidth = width() / columns_;
    const int cellHeight = GridHeight() / kvr::kBarGridRows;
    for (int c = 1; c < columns_; ++c)
        DrawRaisedBar(painter, QRect(c * cellWidth - kSeparator / 2, 0, kSeparator, GridHeight()));
    DrawRaisedBar(painter, QRect(0, cellHeight - kSeparator / 2, width(), kSeparator));
    DrawRaisedBar(painter, QRect(0, GridHeight() - kSeparator / 2, width(), kSeparator));

    const int font = BaseFont();
    for (const Cell& cell : cells_) {
        painter.setPen(Qt::white);
        const QString title = ChannelTitle(*file_, cell.channel);
        painter.setFont(FittedChartFont(title, font, cell.title.width()));
        painter.drawText(cell.title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, title);
        // Sunken box around the bar.
        const QRect box = cell.bar.adjusted(-2, -2, 2, 2);
        painter.setPen(ButtonShadowColor());
        painter.drawRect(box.adjusted(0, 0, -1, -1));
        painter.setPen(ButtonHighlightColor());
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());

        const double low = file_->GetRangeLow(cell.channel);
        const double high = file_->GetRangeHigh(cell.channel);
        painter.setPen(Qt::white);
        for (int k = 0; k < kScaleTicks; ++k) {
            const int y = TickRow(cell, k);
            const int length = k % 2 == 0 ? kLongTick : kLongTick / 2;
            painter.drawLine(cell.bar.left() - kTickGap - length, y, cell.bar.left() - kTickGap, y);
            if (k % 2 != 0) continue;
            const QRect label = ScaleLabel(cell, k);
            const QString text =
                FormatChannelValue(*file_, cell.channel, high - k * (high - low) * 0.1);
            painter.setFont(FittedChartFont(text, font * 8 / 10, label.width()));
            painter.drawText(label, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, text);
        }
    }
}

void CBarPanelCtrl::Refresh() {
    if (picture_.isNull()) return;
    picture_ = background_.copy();
    if (file_ && columns_ > 0) {
        QPainter painter(&picture_);
        DrawValues(painter);
        DrawTotals(painter);
    }
    update();
}

void CBarPanelCtrl::DrawValues(QPainter& painter) const {
    for (const Cell& cell : cells_) DrawBar(painter, cell);
}

void CBarPanelCtrl::DrawBar(QPainter& painter, const Cell& cell) const {
    const int c = cell.channel;
    float value = 0.0f;
    const bool valid = NewestValue(*file_, c, &value);
    painter.fillRect(cell.bar, Qt::black);
    const double alarmLow = file_->GetAlarmLow(c), alarmHigh = file_->GetAlarmHigh(c);
    const double low = file_->GetRangeLow(c), high = file_->GetRangeHigh(c);
    const std::optional<double> fill =
        valid ? kvr::BarFillFraction(value, low, high) : std::nullopt;
    if (fill) {
        const int filled = static_cast<int>(std::lround(cell.bar.height() * *fill));
        const QColor color = kvr::IsOutsideAlarms(value, alarmLow, alarmHigh)
                                 ? kChartRed
                                 : ColorFromRef(file_->Header().channels[c].color);
        painter.fillRect(
            QRect(cell.bar.left(), cell.bar.bottom() + 1 - filled, cell.bar.width(), filled),
            color);
    }
    if (!valid) return;

    // Alarm marks right of the bar: low-low and low are green while the value is at or
    // above them, high and high-high are red once the value is above them.
    const int mark = std::max(BaseFont() / 2, 6);
    const struct {
        double limit;
        bool red;
    } marks[] = {
        {file_->GetAlarmLowLow(c), value < file_->GetAlarmLowLow(c)},
        {alarmLow, value < alarmLow},
        {alarmHigh, value > alarmHigh},
        {file_->GetAlarmHighHigh(c), value > file_->GetAlarmHighHigh(c)},
    };
    for (const auto& m : marks) {
        const int y = cell.bar.bottom() -
                      static_cast<int>(
                          std::lround(kvr::ScaleFraction(m.limit, low, high) * cell.bar.height()));
        DrawTriangle(painter, cell.bar.right() + 4, y, mark, m.red ? kChartRed : kChartGreen);
    }

    const QString text = FormatChannelValue(*file_, c, value);
    painter.fillRect(cell.readout, Qt::black);
    painter.setPen(Qt::white);
    painter.setFont(FittedChartFont(text, ReadoutFont(BaseFont()), cell.readout.width(), 900));
    painter.drawText(cell.readout, Qt::AlignCenter | Qt::TextSingleLine, text);
}

void CBarPanelCtrl::DrawTotals(QPainter& painter) const {
    const int font = TotalsFont();
    painter.setFont(ChartFont(font));
    painter.setPen(Qt::white);
    const kvr::FileHeader& header = file_->Header();
    QStringList lines;
    lines << QStringLiteral("累积流量 [%1]  %2")
                 .arg(FlowTotalUnit(*file_))
                 .arg(header.flowTotal * 0.01, 0, 'f', 2);
    if (HasHeatTotal(*file_))
        lines << QStringLiteral("累积热量 [%1]  %2")
                     .arg(HeatTotalUnit(*file_))
                     .arg(header.heatTotal * 0.01, 0, 'f', 2);
    const QRect strip(0, GridHeight() + kSeparator / 2, width(),
                      height() - GridHeight() - kSeparator / 2);
    painter.fillRect(strip, Qt::black);
    const int lineHeight = strip.height() / 2;
    for (int k = 0; k < lines.size(); ++k)
        painter.drawText(
            QRect(strip.left(), strip.top() + k * lineHeight, strip.width() - 8, lineHeight),
            Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, lines[k]);
}

void CBarPanelCtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull() || picture_.size() != size() * devicePixelRatioF())
        painter.fillRect(rect(), ButtonFaceColor());
    painter.drawImage(QPoint(0, 0), picture_);
}

void CBarPanelCtrl::resizeEvent(QResizeEvent*) { Layout(); }
