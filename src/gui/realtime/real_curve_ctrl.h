#pragma once
// CXRealCurveCtrl: the curve control of the realtime window. One record per plot column;
// while following it keeps the newest record at the right edge as records arrive, and the
// cursor drifts back to the newest record a few seconds after the user lets go of it.
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
    bool IsFollowing() const { return following_; }

    // The cursor return timer runs while an acquisition runs.
    void StartScrolling();
    void StopScrolling();
    bool IsScrolling() const { return cursorTimer_.isActive(); }

public slots:
    // A record was stored: the file's start and end have moved.
    void recordAppended(kvr::Time start, kvr::Time end);
    void redrawCurves() override;

protected:
    void ComputeWindow() override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void RedrawWindow();
    void UpdateScrollBar();
    void CursorTick();

    bool following_ = true;
    int holdTicks_ = kCursorHoldTicks;
    QTimer cursorTimer_;
};
