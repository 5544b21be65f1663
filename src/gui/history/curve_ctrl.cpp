#include "gui/history/curve_ctrl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

#include "gui/history/time_scroll_bar.h"

using kvr::Time;

CXCurveCtrl::CXCurveCtrl(QWidget* parent) : QWidget(parent) {
    // Placeholders until a file is applied.
    window_.SetBrowseRange(kvr::MakeTime({1998, 3, 24, 0, 0, 0}), kvr::MakeTime({1998, 4, 15, 0, 0, 0}));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    axisFont_ = QFont(QStringLiteral("Times New Roman"));
    axisFont_.setPixelSize(12);
    captionFont_ = QFont(QStringLiteral("宋体"));
    captionFont_.setPixelSize(12);
}

CXCurveCtrl::~CXCurveCtrl() = default;

void CXCurveCtrl::SetFile(kvr::CXFile* file) {
    file_ = file;
    channelCount_ = file ? std::clamp(file->GetChannelCount(), 0, kvr::kMaxChannels) : 0;
    window_.SetInterval(file ? file->GetInterval() : 1);
}

void CXCurveCtrl::ApplyFileSettings() {
    if (!file_) return;
    const kvr::FileHeader& header = file_->Header();
    SetBrowseRange(file_->GetStartTime(), file_->GetEndTime());
    xStyle_ = header.xMode;
    gridCount_ = std::max<int>(header.gridCount1, 1);
    scale_.SetRange(header.yLow, header.yHigh, header.gridCount2);
    valueMode_ = header.yMode;
    gridShown_ = header.showGrid;
}

void CXCurveCtrl::SetBrowseRange(Time start, Time end) { window_.SetBrowseRange(start, end); }

void CXCurveCtrl::SetWindowRange(Time start, Time end) { window_.SetWindowRange(start, end); }

std::pair<Time, Time> CXCurveCtrl::GetWindowRange() const {
    return {window_.WindowStart(), window_.WindowEnd()};
}

void CXCurveCtrl::SetStartFraction(float fraction) { window_.SetStartFraction(fraction); }

void CXCurveCtrl::SetWidthFraction(float fraction) { window_.SetWidthFraction(fraction); }

Time CXCurveCtrl::PixelToTime(int column, int width) const {
    return window_.PixelToTime(column, width);
}

int CXCurveCtrl::TimeToPixel(Time t, int width) const { return window_.TimeToPixel(t, width); }

void CXCurveCtrl::ComputeWindow() { window_.ComputeWindow(); }

void CXCurveCtrl::ComputeValueScale() { scale_.Compute(valueAxis_.Height()); }

Time CXCurveCtrl::GetCursorTime() const {
    if (selectMode_ || cursorTime_ < window_.BrowseStart()) return 0;
    return cursorTime_;
}

void CXCurveCtrl::SetSelectMode(int mode) {
    selectMode_ = mode ? 1 : 0;
    Rebuild();
}

void CXCurveCtrl::SyncScrollBar() {
    if (!scrollBar_) return;
    scrollBar_->SetStartFraction(window_.StartFraction());
    scrollBar_->SetWidthFraction(window_.WidthFraction());
}

void CXCurveCtrl::ApplyWindowChange() {
    ComputeWindow();
    Rebuild();
    SyncScrollBar();
}

void CXCurveCtrl::SetStartPoint(Time t) {
    if (t == 0) t = cursorTime_;
    if (window_.SetStartPoint(t)) ApplyWindowChange();
}

void CXCurveCtrl::SetEndPoint(Time t) {
    if (t == 0) t = cursorTime_;
    if (window_.SetEndPoint(t)) ApplyWindowChange();
}

void CXCurveCtrl::ZoomTo(Time a, Time b) {
    if (a == 0 || b == 0) {
        a = selStart_;
        b = selEnd_;
        selStart_ = selEnd_ = 0;
    }
    // Without a selection there is nothing to zoom to; the cleared band still goes.
    if (a == 0 || b == 0) {
        RedrawAll();
        return;
    }
    window_.SetSpan(a, b);
    ApplyWindowChange();
}

void CXCurveCtrl::GoTo(Time t) {
    selectMode_ = 0;
    cursorTime_ = t;
    const Time first = file_ ? file_->GetStartTime() : window_.BrowseStart();
    const Time last = file_ ? file_->GetEndTime() : window_.BrowseEnd();
    const auto [a, b] = kvr::CurveWindow::CenteredSpan(
        t, window_.WindowEnd() - window_.WindowStart(), first, last);
    window_.SetSpan(a, b);
    ApplyWindowChange();
}

void CXCurveCtrl::SelectAll() {
    selStart_ = window_.WindowStart();
    selEnd_ = window_.WindowEnd();
    Rebuild();
}

void CXCurveCtrl::CopySelection() {
    if (!file_ || selStart_ < window_.WindowStart() || selEnd_ > window_.WindowEnd()) return;
    const int a = TimeToPixel(selStart_, plotWidth_);
    const int b = TimeToPixel(selEnd_, plotWidth_);
    const int left = std::clamp(std::min(a, b), 0, plotWidth_);
    const int right = std::clamp(std::max(a, b) + 1, 0, plotWidth_);
    if (right <= left) return;
    const QImage& plot = plotLayer_.Image();
    const qreal ratio = plot.devicePixelRatio();
    QImage part = plot.copy(QRect(qRound(left * ratio), 0, qRound((right - left) * ratio), plot.height()));
    part.setDevicePixelRatio(1.0);
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setImage(part);
}

void CXCurveCtrl::Rebuild() {
    Layout();
    RedrawAll();
}

void CXCurveCtrl::Layout() {
    QWidget* parent = parentWidget();
    if (parent && !isWindow()) {
        const int right = parent->width() - 2 - (panelShown_ ? kPanelWidth : 0);
        const int bottom = parent->height() - 2;
        resize(std::max(right - x(), 0), std::max(bottom - y(), 0));
    }
    ApplyGeometry();
}

void CXCurveCtrl::ApplyGeometry() {
    const int w = width();
    const int h = height();
    client_ = {0, 0, w, h};
    plot_ = EdgeRect{kLeftMargin, kTopMargin, w, h - kBottomMargin}.Shrunk(1);
    valueAxis_ = EdgeRect{0, kTopMargin, kLeftMargin, h - kBottomMargin}.Shrunk(1);
    timeAxis_ = EdgeRect{kLeftMargin, valueAxis_.bottom, w, h}.Shrunk(1);
    markerStrip_ = EdgeRect{valueAxis_.right, 0, w, plot_.top}.Shrunk(1);
    readout_ = {};

    const qreal ratio = devicePixelRatioF();
    back_.Create(client_, ratio);
    frame_.Create(client_, ratio);
    plotLayer_.Create(plot_, ratio);
    marker_.Create(markerStrip_, ratio);
    plotClean_ = false;

    plotWidth_ = timeAxis_.Width();
    ComputeWindow();
    ComputeValueScale();
}

bool CXCurveCtrl::LayersMatchWidget() const {
    return !back_.IsNull() && back_.Rect() == EdgeRect{0, 0, width(), height()} &&
           back_.Image().devicePixelRatio() == devicePixelRatioF();
}
