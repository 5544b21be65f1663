#pragma once
// CRRangeView: the realtime dial window. Tabs of six channels in use over the dial chart,
// redrawn on a timer of one record interval; it follows the live file of the realtime view.
// Like the other realtime windows it opens the file information dialog, from the menu and
// from its context menu.
#include <QTimer>
#include <QWidget>

#include "gui/common/command_map.h"

class CRangeDialCtrl;
class QMenu;
class QTabBar;

namespace kvr {
class CXFile;
}

class CRRangeView : public QWidget, public CommandMap {
    Q_OBJECT
public:
    explicit CRRangeView(kvr::CXFile* file, QWidget* parent = nullptr);
    CRangeDialCtrl* Dial() const { return dial_; }
    QTabBar* Tabs() const { return tabs_; }
    // The context menu of a right click on the dial; the caller shows and deletes it.
    QMenu* BuildContextMenu();

private:
    void SelectTab(int tab);
    void ShowContextMenu(const QPoint& globalPosition);

    kvr::CXFile* file_;

    QTabBar* tabs_;
    CRangeDialCtrl* dial_;
    QTimer timer_;
    int selectedTab_ = 0;
};
