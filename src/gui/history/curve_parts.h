#pragma once
// The three children both curve views (history and realtime) are made of: the time scroll
// bar across the top, the curve control below it and the channel panel at the right, laid
// out and switched the same way in both.
class CChannelPanel;
class CTimeScrollBar;
class CXCurveCtrl;
class QWidget;

namespace kvr {
class CXFile;
}

struct CurveParts {
    static constexpr int kScrollBarHeight = 16;
    static constexpr int kMargin = 2;

    CTimeScrollBar* scrollBar = nullptr;
    CXCurveCtrl* curve = nullptr;
    CChannelPanel* panel = nullptr;
    bool panelShown = false;

    // Places the scroll bar, the given curve control and a hidden panel in view.
    void Create(QWidget* view, CXCurveCtrl* curveCtrl);
    // Fits the children to the view's size.
    void Layout() const;
    // Every part that leaves room for the panel is told, then all are laid out again.
    void SetPanelShown(bool shown);
    // Writes the file's channel display states; redraws the curves and the panel's ticks,
    // or tells the user the header could not be written.
    bool SaveDisplayChange(kvr::CXFile& file, QWidget* parent) const;
};
