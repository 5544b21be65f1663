#include "gui/curves/curve_ctrl.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

#include "gui/curves/time_scroll_bar.h"

using kvr::Time;

CXCurveCtrl::CXCurveCtrl(QWidget* parent) : QWidget(parent) {
    // Placeholders until a file is applied.
    window_.SetBrowseRange(kvr::MakeTime({1998, 3, 24, 0, 0, 0}),
                           kvr::MakeTime({1998, 4, 15, 0, 0, 0}));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    scene_.window = &window_;
    scene_.scale = &scale_;
    scene_.envelope = &envelope_;
    scene_.axisFont = CurveScene::DefaultAxisFont();
    scene_.captionFont = CurveScene::DefaultCaptionFont();
}

CXCurveCtrl::~CXCurveCtrl() = default;

void CXCurveCtrl::SetFile(kvr::CXFile* file) {
    file_ = file;
    scene_.file = file;
    envelope_.Clear();
    window_.SetInterval(file ? file->GetInterval() : 1);
}

void CXCurveCtrl::ApplyFileSettings() {
    if (!file_) return;
    SetBrowseRange(file_->GetStartTime(), file_->GetEndTime());
    ApplyDisplay(file_->Header());
}

void CXCurveCtrl::SetEmptyDisplay(const kvr::FileHeader& display, const QString& notice) {
    ApplyDisplay(display);
    scene_.empty = CurveScene::EmptyPlot{display.backgroundColor, display.gridColor, notice};
}

void CXCurveCtrl::ApplyDisplay(const kvr::FileHeader& header) {
    scene_.xStyle = header.xMode;
    scene_.gridCount = std::max<int>(header.gridCount1, 1);
    scale_.SetRange(header.yLow, header.yHigh, header.gridCount2);
    scene_.valueMode = header.yMode;
    scene_.gridShown = header.showGrid;
}

void CXCurveCtrl::SetBrowseRange(Time start, Time end) { window_.SetBrowseRange(start, end); }

void CXCurveCtrl::SetWindowRange(Time start, Time end) { window_.SetWindowRange(start, end); }

std::pair<Time, Time> CXCurveCtrl::GetWindowRange() const {
    return {window_.WindowStart(), window_.WindowEnd()};
}

void CXCurveCtrl::SetStartFraction(float fraction) { window_.SetStartFraction(fraction); }

void CXCurveCtrl::SetWidthFraction(float fraction) { window_.SetWidthFraction(fraction); }

int CXCurveCtrl::TimeToPixel(Time t, int width) const { return window_.TimeToPixel(t, width); }

void CXCurveCtrl::SetWindowPolicy(const kvr::TimeWindowPolicy* policy) {
    policy_ = policy ? policy : &fractionPolicy_;
}

void CXCurveCtrl::ComputeWindow() { policy_->Compute(window_, layout_.plotWidth); }

void CXCurveCtrl::ComputeValueScale() { scale_.Compute(layout_.valueAxis.Height()); }

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
    emit windowChanged();
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
    const auto [a, b] =
        kvr::CurveWindow::CenteredSpan(t, window_.WindowEnd() - window_.WindowStart(), first, last);
    window_.SetSpan(a, b);
    ApplyWindowChange();
}

void CXCurveCtrl::SetSelection(Time a, Time b) {
    selectMode_ = 1;
    selStart_ = std::min(a, b);
    selEnd_ = std::max(a, b);
    Rebuild();
}

void CXCurveCtrl::SelectAll() {
    selStart_ = window_.WindowStart();
    selEnd_ = window_.WindowEnd();
    Rebuild();
}

void CXCurveCtrl::CopySelection() {
    if (!file_ || selStart_ < window_.WindowStart() || selEnd_ > window_.WindowEnd()) return;
    const int a = TimeToPixel(selStart_, layout_.plotWidth);
    const int b = TimeToPixel(selEnd_, layout_.plotWidth);
    const int left = std::clamp(std::min(a, b), 0, layout_.plotWidth);
    const int right = std::clamp(std::max(a, b) + 1, 0, layout_.plotWidth);
    if (right <= left) return;
    const QImage& plot = plotLayer_.Image();
    const qreal ratio = plot.devicePixelRatio();
    QImage part =
        plot.copy(QRect(qRound(left * ratio), 0, qRound((right - left) * ratio), plot.height()));
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
        const int bottom = parent->height() - 2 - bottomReserve_;
        resize(std::max(right - x(), 0), std::max(bottom - y(), 0));
    }
    ApplyGeometry();
}

void CXCurveCtrl::ApplyGeometry() {
    const int w = width();
    const int h = height();
    layout_ = CurveLayout::For(w, h);
    readout_ = {};

    const qreal ratio = devicePixelRatioF();
    back_.Create(layout_.client, ratio);
    frame_.Create(layout_.client, ratio);
    plotLayer_.Create(layout_.plot, ratio);
    marker_.Create(layout_.markerStrip, ratio);
    plotClean_ = false;

    ComputeWindow();
    ComputeValueScale();
}

bool CXCurveCtrl::LayersMatchWidget() const {
    return !back_.IsNull() && back_.Rect() == EdgeRect{0, 0, width(), height()} &&
           back_.Image().devicePixelRatio() == devicePixelRatioF();
}
