#pragma once
// CMainFrame: the program's main window. It owns the menus, the toolbar, the status bar
// and the MDI client area, opens data files into child windows and routes commands to the
// active view.
#include <QMainWindow>
#include <QPointer>
#include <array>

#include "gui/app/child_frame.h"
#include "gui/common/view_host.h"

class CMdiBackground;
class CommandActions;
struct MenuNode;
class QLabel;
class QMdiSubWindow;
class QMenu;
class QToolBar;

class CMainFrame : public QMainWindow, public ViewHost {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Opens a history (".FDZ") or report (".ARF") file, or a live buffer (".tmp") that a
    // collector records into, in a new child window, telling the user why when it cannot.
    void OpenDataFile(const QString& path);
    // New child windows with their view; null when the view cannot be made.
    CChildFrame* CreateHistoryFrame(const QString& title);
    CChildFrame* CreateReportFrame(const QString& path);
    // Brings the realtime window forward, or makes it.
    void ShowRealtimeWindow();
    CChildFrame* RealtimeFrame() const { return realtimeFrame_; }

    // A second start of the program handed over: come forward and open LastDir.
    void HandOver();

    void SetStatusText(int pane, const QString& text) override;
    QString StatusPaneText(int pane) const;

    // Adds a child window made by a view (data list, report) to the client area, shown
    // maximised or at the cascade position, and makes it the active one.
    void ShowChild(CChildFrame* frame, bool maximized);

    // ViewHost
    QWidget* ShowChildView(QWidget* view, const QString& title, bool maximized) override;
    void ActivateChildView(QWidget* view) override;
    QString LastDir() const override;

    CMdiBackground* MdiArea() const { return mdiArea_; }
    CChildFrame* ActiveFrame() const;
    QList<CChildFrame*> Frames() const;
    CommandActions& Actions() const { return *actions_; }
    QToolBar* MainToolBar() const { return toolBar_; }
    void UpdateCommandStates();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Shown like a history file, read-only, and followed while it is recorded into.
    void OpenLiveBuffer(const QString& path);
    void BuildMenus();
    QMenu* BuildMenu(QMenu* menu, const MenuNode& node);
    // Commands of windows the program has no factory for are not offered.
    void HideMissingWindows();
    void BuildToolBar();
    void BuildStatusBar();
    void RegisterFrameCommands();
    void FillWindowMenu();
    void FillCircleChartMenu(const QStringList& channelNames);
    void OnSubWindowActivated();
    // Activates the window, restoring it when minimised.
    void BringForward(QMdiSubWindow* window);
    void UpdateTitle();

    void OnFileOpen();
    void OnDeviceConfiguration();

    CMdiBackground* mdiArea_ = nullptr;
    CommandActions* actions_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    std::array<QLabel*, 6> panes_{};
    QMenu* windowMenu_ = nullptr;
    int windowMenuFixedItems_ = 0;
    QMenu* circleChartMenu_ = nullptr;
    QPointer<CChildFrame> realtimeFrame_;
    int childrenShown_ = 0;
};
