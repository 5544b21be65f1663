#include "gui/realtime/real_curve_ctrl.h"

#include <QMouseEvent>

#include "gui/curves/time_scroll_bar.h"

CXRealCurveCtrl::CXRealCurveCtrl(QWidget* parent) : CXCurveCtrl(parent) {
    SetWindowPolicy(policy_);
    cursorTimer_.setInterval(500);
    connect(&cursorTimer_, &QTimer::timeout, this, [this] { CursorTick(); });
}

void CXRealCurveCtrl::SetWidthFraction(float fraction) {
    CXCurveCtrl::SetWidthFraction(fraction);
    policy_->following = Window().ReachesEnd();
}

void CXRealCurveCtrl::SetAutoScale(bool on) {
    kvr::RecordWindowPolicy* chosen =
        on ? static_cast<kvr::RecordWindowPolicy*>(&autoScale_) : &recordPerColumn_;
    if (chosen == policy_) return;
    chosen->following = policy_->following;
    policy_ = chosen;
    SetWindowPolicy(policy_);
    RedrawWindow();
    UpdateScrollBar();
}

void CXRealCurveCtrl::Rebuild() {
    CXCurveCtrl::Rebuild();
    UpdateScrollBar();
}

void CXRealCurveCtrl::StartScrolling() {
    holdTicks_ = kCursorHoldTicks;
    cursorTimer_.start();
}

void CXRealCurveCtrl::StopScrolling() { cursorTimer_.stop(); }

void CXRealCurveCtrl::recordAppended(kvr::Time start, kvr::Time end) {
    SetBrowseRange(start, end);
    if (policy_->following) RedrawWindow();
    UpdateScrollBar();
}

void CXRealCurveCtrl::redrawCurves() { RedrawWindow(); }

void CXRealCurveCtrl::RedrawWindow() { CXCurveCtrl::redrawCurves(); }

void CXRealCurveCtrl::UpdateScrollBar() {
    CTimeScrollBar* bar = ScrollBar();
    if (!bar) return;
    const auto [start, width] = policy_->BarFractions(Window(), PlotWidth());
    bar->SetStartFraction(start);
    bar->SetWidthFraction(width);
}

void CXRealCurveCtrl::CursorTick() {
    if (holdTicks_ > kCursorHoldTicks) {
        if (kvr::CXFile* file = GetFile()) SetCursorTime(file->GetEndTime());
    } else {
        ++holdTicks_;
    }
}

void CXRealCurveCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::LeftButton) holdTicks_ = 0;
    CXCurveCtrl::mouseMoveEvent(event);
}
