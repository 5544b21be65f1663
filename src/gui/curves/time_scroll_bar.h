#pragma once
// CTimeScrollBar: the thin range selector above the curves. The thumb's position is the
// start of the visible window and its width the window's share of the whole span, both
// as fractions; dragging the thumb pans, dragging the handles beside it zooms (unless the
// bar is fixed-width). Every change is handed to the curve control.
#include <QWidget>

#include "gui/common/edge_rect.h"

class CXCurveCtrl;

class CTimeScrollBar : public QWidget {
    Q_OBJECT
public:
    // Each end of the bar keeps this much room for a handle; the thumb is never narrower
    // than kMinThumb.
    static constexpr int kHandleWidth = 10;
    static constexpr int kEndRoom = 11;
    static constexpr int kMinThumb = 17;
    static constexpr int kPanelWidth = 150;

    explicit CTimeScrollBar(QWidget* parent = nullptr);

    // Stored as given; the caller redraws.
    void SetStartFraction(float fraction) { startFraction_ = fraction; }
    // Clamped to 0..1, then laid out and redrawn.
    void SetWidthFraction(float fraction);
    float StartFraction() const { return startFraction_; }
    float WidthFraction() const { return widthFraction_; }

    // Recomputes the thumb and redraws; with reposition, first fits the bar into its
    // parent's width (2 pixels from each side, less the channel panel when shown).
    void LayoutAndRedraw(bool reposition);

    void SetFixedWidth(bool fixed) { fixedWidth_ = fixed; }
    bool IsFixedWidth() const { return fixedWidth_; }
    void SetPanelShown(bool shown) { panelShown_ = shown; }
    void SetTarget(CXCurveCtrl* target) { target_ = target; }

    // Client rectangle of the thumb (without the handles).
    QRect ThumbRect() const { return thumb_.ToQRect(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    enum class Drag { kNone, kBody, kLeftHandle, kRightHandle };

    EdgeRect Client() const { return {0, 0, width(), height()}; }
    EdgeRect LeftHandle() const;
    EdgeRect RightHandle() const;
    void ComputeThumb();
    void DragTo(int x);
    void UpdatePointer(const QPoint& position);
    void NotifyTarget();

    float startFraction_ = 0.0f;
    float widthFraction_ = 1.0f;
    Drag drag_ = Drag::kNone;
    int grabOffset_ = 0;
    bool fixedWidth_ = true;
    bool panelShown_ = false;
    CXCurveCtrl* target_ = nullptr;
    int trackWidth_ = 0;
    EdgeRect thumb_;
};
