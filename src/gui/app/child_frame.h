#pragma once
// CChildFrame: the MDI child window around exactly one view (history, report or realtime),
// with an optional toolbar of its own.
#include <QMdiSubWindow>

class CommandActions;
class QMainWindow;
class QToolBar;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);

    bool IsRealtime() const { return realtime_ != 0; }
    void SetRealtime(bool realtime) { realtime_ = realtime ? 1 : 0; }
    int ToolbarId() const { return toolbarId_; }
    void SetToolbarId(int id) { toolbarId_ = id; }

    // Puts the view in the window (which owns it from then on) and builds the own toolbar
    // when a toolbar id is set; its buttons share the main frame's command actions.
    void Create(QWidget* view, CommandActions& actions);
    QWidget* View() const { return view_; }
    QToolBar* ToolBar() const { return toolBar_; }

    // May the window go? Asks the realtime view about unsaved live data (save, drop or
    // keep the window); other windows always may.
    bool QueryCloseRealtime();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void LeaveProgramKeysToTheMenus();

    int realtime_ = 0;
    int toolbarId_ = -1;
    QMainWindow* body_ = nullptr;
    QWidget* view_ = nullptr;
    QToolBar* toolBar_ = nullptr;
};
