#pragma once
// The realtime bar window: CBarView pages through groups of twelve channels with tabs,
// CMinBarView shows one group without tabs. Both redraw on a timer of one record
// interval and follow the live file they are given (owned by the realtime view).
#include <QTimer>
#include <QWidget>

class CBarPanelCtrl;
class QTabBar;

namespace kvr {
class CXFile;
}

class CBarView : public QWidget {
    Q_OBJECT
public:
    explicit CBarView(kvr::CXFile* file, QWidget* parent = nullptr);
    CBarPanelCtrl* Panel() const { return panel_; }
    QTabBar* Tabs() const { return tabs_; }

private:
    void SelectTab(int tab);

    kvr::CXFile* file_;
    QTabBar* tabs_;
    CBarPanelCtrl* panel_;
    QTimer timer_;
    int selectedTab_ = 0;
};

class CMinBarView : public QWidget {
    Q_OBJECT
public:
    explicit CMinBarView(kvr::CXFile* file, QWidget* parent = nullptr);
    CBarPanelCtrl* Panel() const { return panel_; }

private:
    CBarPanelCtrl* panel_;
    QTimer timer_;
};

// The bar window's view for a file: tabs when more than twelve channels are in use.
QWidget* CreateBarWindowView(kvr::CXFile* file);
