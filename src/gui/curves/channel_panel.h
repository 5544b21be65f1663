#pragma once
// CChannelPanel: the 150-pixel strip at the right of the curve views listing the channels
// of the file, each with a square in its curve colour and a check box with its name.
// Ticking or clearing a box shows or hides the curve and writes the choice to the file.
#include <QString>
#include <QWidget>
#include <map>
#include <vector>

namespace kvr {
class CXFile;
}
class CXCurveCtrl;
class QCheckBox;
class QLabel;
class QScrollBar;

class CChannelPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 150;
    static constexpr int kRowHeight = 30;
    static constexpr int kScrollBarWidth = 18;
    static constexpr int kScrollMaximum = 100;
    // Check boxes of channels 0..39 show and hide curves; later ones only change their
    // tick.
    static constexpr int kToggledChannels = 40;
    // Control ids: check box of channel i, its colour square, the scroll bar.
    static constexpr int kFirstCheckId = 32846;
    static constexpr int kFirstColorId = 32916;
    static constexpr int kScrollBarId = 32910;

    explicit CChannelPanel(QWidget* parent = nullptr);

    void SetFile(kvr::CXFile* file) { file_ = file; }
    void SetShown(bool shown) { shown_ = shown; }
    bool IsShown() const { return shown_; }
    void SetTarget(CXCurveCtrl* target) { target_ = target; }

    // Places the panel at the right edge of its parent; shows it and rebuilds its rows, or
    // hides it.
    void LayoutPanel();
    // One row per channel that is in use, scrolled by the scroll bar.
    void RebuildControls();

    QScrollBar* VerticalScrollBar() const { return scrollBar_; }
    // The check box of a channel, or null when it has no row.
    QCheckBox* CheckBoxOf(int channel) const;
    // Channels with an alarm raised now and the kinds to show: their rows read the name
    // with the kinds below it, in red, until the alarm clears.
    void SetAlarms(std::map<int, QString> alarms);

private:
    void OnScrollAction(int action);
    void OnChannelClicked(int channel);
    void ClearRows();
    void ShowAlarmOf(QCheckBox* box, int channel) const;

    kvr::CXFile* file_ = nullptr;
    bool shown_ = false;
    CXCurveCtrl* target_ = nullptr;
    QScrollBar* scrollBar_ = nullptr;
    std::vector<QLabel*> squares_;
    std::vector<QCheckBox*> checkBoxes_;
    std::map<int, QString> alarms_;
};
