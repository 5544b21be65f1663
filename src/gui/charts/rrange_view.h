#pragma once
// CRRangeView: the realtime dial window. Tabs of six channels in use over the dial chart,
// redrawn on a timer of one record interval; it follows the live file of the realtime view.
#include <QTimer>
#include <QWidget>

class CRangeDialCtrl;
class QTabBar;

namespace kvr {
class CXFile;
}

class CRRangeView : public QWidget {
    Q_OBJECT
public:
    explicit CRRangeView(kvr::CXFile* file, QWidget* parent = nullptr);
    CRangeDialCtrl* Dial() const { return dial_; }
    QTabBar* Tabs() const { return tabs_; }

private:
    void SelectTab(int tab);

    QTabBar* tabs_;
    CRangeDialCtrl* dial_;
    QTimer timer_;
    int selectedTab_ = 0;
};
