#pragma once
// CXRealCurveCtrl: the curve control of the realtime window. One record per plot column,
// or with the auto-scaled time axis the whole recorded time until it fills the plot at one
// record a column; while following it keeps the newest record at the right edge as
// records arrive, and the cursor drifts back to the newest record a few seconds after the
// user lets go of it.
#include <QTimer>

#include "gui/curves/curve_ctrl.h"

class CXRealCurveCtrl : public CXCurveCtrl {
    Q_OBJECT
public:
    // Half-second ticks the cursor stays where the user put it.
    static constexpr int kCursorHoldTicks = 6;

    explicit CXRealCurveCtrl(QWidget* parent = nullptr);

    void SetWidthFraction(float fraction) override;
    void Rebuild() override;
    bool IsFollowing() const { return policy_->following; }
    // The auto-scaled time axis (on) or one record per column from the right edge (off).
    void SetAutoScale(bool on);
    bool IsAutoScale() const { return policy_ == &autoScale_; }

    // The cursor return timer runs while an acquisition runs.
    void StartScrolling();
    void StopScrolling();
    bool IsScrolling() const { return cursorTimer_.isActive(); }

public slots:
    // A record was stored: the file's start and end have moved.
    void recordAppended(kvr::Time start, kvr::Time end);
    void redrawCurves() override;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void RedrawWindow();
    void UpdateScrollBar();
    void CursorTick();

    kvr::RecordWindowPolicy recordPerColumn_;
    kvr::AutoScaleWindowPolicy autoScale_;
    kvr::RecordWindowPolicy* policy_ = &autoScale_;
    int holdTicks_ = kCursorHoldTicks;
    QTimer cursorTimer_;
};
