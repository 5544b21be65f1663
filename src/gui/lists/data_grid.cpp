#include "gui/lists/data_grid.h"

#include <QApplication>
#include <QClipboard>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>

#include "core/datafile/channels.h"
#include "core/datafile/gbk.h"
#include "core/view/channel_text.h"
#include "core/view/grid_copy.h"
#include "gui/common/system_colors.h"

namespace {

constexpr int kInitialSequenceWidth = 60;
constexpr int kInitialTimeWidth = 160;
constexpr int kMinChannelWidth = 60;
constexpr int kPixelsPerHeadingByte = 9;
constexpr int kBorderHitHalfWidth = 2;
constexpr int kLineStepRows = 10;
constexpr int kPageStepRows = 100;
constexpr int kWheelRows = 5;

}  // namespace

CXDataGrid::CXDataGrid(QWidget* parent) : QWidget(parent) {
    widths_.fill(0);
    widths_[kSequenceColumn] = kInitialSequenceWidth;
    widths_[kTimeColumn] = kInitialTimeWidth;

    faceColor_ = ButtonFaceColor();
    shadowColor_ = ButtonShadowColor();
    highlightColor_ = ButtonHighlightColor();

    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);

    verticalBar_ = new QScrollBar(Qt::Vertical, this);
    horizontalBar_ = new QScrollBar(Qt::Horizontal, this);
    verticalBar_->hide();
    horizontalBar_->hide();
    // Only user actions scroll the table; positions set from here emit no action.
    connect(verticalBar_, &QAbstractSlider::actionTriggered, this, &CXDataGrid::OnVerticalAction);
    connect(horizontalBar_, &QAbstractSlider::actionTriggered, this,
            &CXDataGrid::OnHorizontalAction);
}

CXDataGrid::~CXDataGrid() = default;

void CXDataGrid::SetFile(kvr::CXFile* file) {
    if (!file) return;
    file_ = file;
    channelCount_ = std::max(file->GetChannelCount(), 1);
    timeline_.start = file->GetStartTime();
    timeline_.end = file->GetEndTime();
    timeline_.interval = std::max(file->GetInterval(), 1);
    // A live file's span moves under a kept position; never leave the top outside it.
    top_ = keepPosition_ ? timeline_.Clamp(top_) : timeline_.start;
    Layout();
    if (autoScroll_) top_ = timeline_.FollowNewestTop(height(), kRowHeight);
}

void CXDataGrid::SetRowStep(int step) { timeline_.step = std::max(step, 1); }

int CXDataGrid::ColumnWidth(int column) const {
    return column >= 0 && column < kWidthSlots ? widths_[static_cast<std::size_t>(column)] : 0;
}

bool CXDataGrid::HasSelection() const {
    return file_ && selection_.anchor != 0 && selection_.anchor >= timeline_.start;
}

// ---------------------------------------------------------------------------------------
// Layout

void CXDataGrid::ComputeChannelWidths() {
    const int channels = std::min(file_->GetChannelCount(), kWidthSlots - kFirstChannelColumn - 1);
    for (int c = 0; c < channels; ++c) {
        int width = 0;
        if (kvr::IsChannelInUse(*file_, c)) {
            // Headings are measured in GBK bytes: a double-byte character is two cells wide.
            const std::size_t bytes = kvr::Utf8ToGbk(file_->GetChannelName(c)).size() +
                                      kvr::Utf8ToGbk(file_->GetChannelUnit(c)).size();
            width = std::max(kMinChannelWidth, kPixelsPerHeadingByte * static_cast<int>(bytes));
        }
        widths_[static_cast<std::size_t>(kFirstChannelColumn + c)] = width;
    }
    widths_[static_cast<std::size_t>(kFirstChannelColumn + std::max(channels, 0))] = kWidthSentinel;
    widthsComputed_ = true;
}

void CXDataGrid::Layout() {
    if (!widthsComputed_ && file_) ComputeChannelWidths();
    const int areaHeight = std::max(height() - kScrollBarSize, 0);
    const int rowsThatFit = areaHeight / kRowHeight;
    const int recordCount = file_ ? std::max(file_->GetRecordCount(), 0) : 0;
    verticalShown_ = file_ && recordCount >= rowsThatFit;
    const int areaWidth = std::max(width() - (verticalShown_ ? kScrollBarSize : 0), 0);
    area_ = QRect(0, 0, areaWidth, areaHeight);
    LayoutScrollBars(recordCount);

    const EdgeRect bufferRect{0, 0, area_.width(), area_.height()};
    const qreal ratio = devicePixelRatioF();
    if (backBuffer_.IsNull() || !(backBuffer_.Rect() == bufferRect) ||
        backBuffer_.Image().devicePixelRatio() != ratio) {
        backBuffer_.Create(bufferRect, ratio);
        backBuffer_.Fill(faceColor_);
    }
    bufferValid_ = false;
    update();
}

void CXDataGrid::LayoutScrollBars(int recordCount) {
    if (verticalShown_) {
        verticalRange_ = kvr::VerticalScrollRange(recordCount);
        verticalBar_->setRange(0, verticalRange_);
        verticalBar_->setGeometry(width() - kScrollBarSize, 1, kScrollBarSize - 1,
                                  height() - kScrollBarSize - 2);
        verticalBar_->show();
    } else {
        // Hidden again once everything fits, so that it never scrolls an unscrollable table.
        verticalBar_->hide();
    }
    horizontalBar_->setRange(0, channelCount_ - 1);
    horizontalBar_->setGeometry(0, height() - kScrollBarSize,
                                width() - (verticalShown_ ? kScrollBarSize : 0), kScrollBarSize);
    horizontalBar_->show();
}

void CXDataGrid::resizeEvent(QResizeEvent*) { Layout(); }

// ---------------------------------------------------------------------------------------
// Scrolling

void CXDataGrid::ScrollUp(int rows) {
    top_ = timeline_.Scroll(top_, -static_cast<std::int64_t>(rows));
    UpdateVerticalPosition();
}

void CXDataGrid::ScrollDown(int rows) {
    top_ = timeline_.Scroll(top_, rows);
    UpdateVerticalPosition();
}

void CXDataGrid::UpdateVerticalPosition() {
    if (!verticalShown_ || !file_) return;
    SetBarPosition(verticalBar_,
                   kvr::ThumbPosition(timeline_, top_, file_->GetRecordCount(), verticalRange_));
}

void CXDataGrid::SetBarPosition(QScrollBar* bar, int position) {
    // A moved slider reports a slider action of its own; that is not the user scrolling.
    const QSignalBlocker blocker(bar);
    bar->setSliderPosition(position);
}

void CXDataGrid::OnVerticalAction(int action) {
    autoScroll_ = false;
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub: ScrollUp(kLineStepRows); break;
        case QAbstractSlider::SliderSingleStepAdd: ScrollDown(kLineStepRows); break;
        case QAbstractSlider::SliderPageStepSub: ScrollUp(kPageStepRows); break;
        case QAbstractSlider::SliderPageStepAdd: ScrollDown(kPageStepRows); break;
        case QAbstractSlider::SliderMove:
            if (file_)
                top_ = kvr::ThumbTop(timeline_, verticalBar_->sliderPosition(),
                                     file_->GetRecordCount(), verticalRange_);
            break;
        default: break;
    }
    Redraw();
}

void CXDataGrid::OnHorizontalAction(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
        case QAbstractSlider::SliderPageStepSub: ShowChannel(firstChannel_ - 1); break;
        case QAbstractSlider::SliderSingleStepAdd:
        case QAbstractSlider::SliderPageStepAdd: ShowChannel(firstChannel_ + 1); break;
        case QAbstractSlider::SliderMove: ShowChannel(horizontalBar_->sliderPosition()); break;
        default: break;
    }
    SetBarPosition(horizontalBar_, firstChannel_);
    Redraw();
}

void CXDataGrid::ShowChannel(int firstChannel) {
    firstChannel_ = std::clamp(firstChannel, 0, channelCount_ - 1);
}

void CXDataGrid::wheelEvent(QWheelEvent* event) {
    event->accept();
    // A sideways wheel and the closing event of a touchpad gesture turn nothing vertically;
    // read as "delta <= 0" they would scroll the rows down.
    if (event->angleDelta().y() == 0) return;
    if (event->angleDelta().y() < 0)
        ScrollDown(kWheelRows);
    else
        ScrollUp(kWheelRows);
    Redraw();
}

void CXDataGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        if (event->key() == Qt::Key_Down)
            ScrollDown(1);
        else
            ScrollUp(1);
        Redraw();
    }
    QWidget::keyPressEvent(event);
}

// ---------------------------------------------------------------------------------------
// Selection, jumping, copying

kvr::Time CXDataGrid::TimeOfRowAt(int y) const { return timeline_.RowTime(top_, y / kRowHeight); }

void CXDataGrid::GoToTime(kvr::Time t) {
    top_ = timeline_.SnapToRow(t);
    selection_.anchor = selection_.end = top_;
    Redraw();
}

void CXDataGrid::SelectAll() {
    selection_.anchor = timeline_.start;
    selection_.end = timeline_.end;
    Redraw();
}

void CXDataGrid::CopySelection() {
    if (!HasSelection()) return;
    const std::string text = kvr::BuildGridCopyText(*file_, selection_.anchor, selection_.end);
    QApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

// ---------------------------------------------------------------------------------------
// Mouse

int CXDataGrid::BorderColumnAt(const QPoint& pos) const {
    if (pos.y() < 0 || pos.y() >= kRowHeight) return -1;
    auto near = [&](int border) {
        return pos.x() >= border - kBorderHitHalfWidth && pos.x() < border + kBorderHitHalfWidth;
    };
    int border = widths_[kSequenceColumn];
    if (near(border)) return kSequenceColumn;
    border += widths_[kTimeColumn];
    if (near(border)) return kTimeColumn;
    if (!file_) return -1;
    const int channels = std::min(file_->GetChannelCount(), kWidthSlots - kFirstChannelColumn - 1);
    for (int c = firstChannel_; c < channels && border < area_.width(); ++c) {
        if (!kvr::IsChannelInUse(*file_, c)) continue;
        border += widths_[static_cast<std::size_t>(kFirstChannelColumn + c)];
        if (near(border)) return kFirstChannelColumn + c;
    }
    return -1;
}

void CXDataGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    if (borderColumn_ >= 0) {
        resizing_ = true;
        dragPoint_ = pos;
        return;
    }
    if (!file_ || pos.y() / kRowHeight == 0) return;
    const kvr::Time t = TimeOfRowAt(pos.y());
    if (event->modifiers() & Qt::ShiftModifier) {
        selection_.end = t;
    } else {
        selection_.anchor = selection_.end = t;
    }
    Redraw();
}

void CXDataGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) resizing_ = false;
    if (event->button() == Qt::RightButton)
        emit contextMenuRequested(event->globalPosition().toPoint());
}

void CXDataGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (resizing_) {
        int& width = widths_[static_cast<std::size_t>(borderColumn_)];
        width += pos.x() - dragPoint_.x();
        if (width < kMinColumnWidth) {
            // The drag point stays, so the pointer must come back past it to widen again.
            width = kMinColumnWidth;
        } else {
            dragPoint_ = pos;
        }
        Layout();
        Redraw();
        return;
    }
    if (event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier) {
        if (file_ && pos.y() / kRowHeight != 0) {
            selection_.end = TimeOfRowAt(pos.y());
            Redraw();
        }
        return;
    }
    borderColumn_ = BorderColumnAt(pos);
    if (borderColumn_ >= 0)
        setCursor(Qt::SplitHCursor);
    else
        unsetCursor();
}
