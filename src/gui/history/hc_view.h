#pragma once
// CHCView: one opened history file shown as curves, with the time scroll bar across the
// top, the curve control below it and the channel panel at the right. Owns its CXFile
// from SetFile on, routes the history-curve commands and keeps the status bar describing
// the file.
//
// Commands live in a table from id to handler, enabler and check-mark test, so that the
// windows built elsewhere (lists, dialogs, charts) add theirs with RegisterCommand.
#include <QWidget>
#include <functional>
#include <map>
#include <memory>

#include "core/datafile/cxfile.h"
#include "gui/app/command_target.h"

class CChannelPanel;
class CTimeScrollBar;
class CXCurveCtrl;
class QMenu;

class CHCView : public QWidget, public CommandTarget {
    Q_OBJECT
public:
    static constexpr int kScrollBarHeight = 16;
    static constexpr int kMargin = 2;

    struct Command {
        std::function<void()> run;
        std::function<bool()> enabled;  // empty: always enabled
        std::function<bool()> checked;  // empty: never checked
    };

    explicit CHCView(QWidget* parent = nullptr);
    ~CHCView() override;

    // Takes ownership; a null file leaves the view empty.
    void SetFile(kvr::CXFile* file);
    kvr::CXFile* GetFile() const { return file_.get(); }

    bool HandlesCommand(int id) const override;
    bool IsCommandEnabled(int id) const override;
    bool IsCommandChecked(int id) const override;
    void ExecuteCommand(int id) override;
    void OnActivated() override;

    // Adds or replaces the handler of a command id.
    void RegisterCommand(int id, Command command);

    CXCurveCtrl* CurveCtrl() const { return curve_; }
    CTimeScrollBar* TimeScrollBar() const { return scrollBar_; }
    CChannelPanel* ChannelPanel() const { return panel_; }
    bool IsPanelShown() const { return panelShown_; }
    int CurvePage() const { return page_; }
    // Selection mode with a selection whose start is set and differs from its end.
    bool HasSelection() const;

    // Status-bar panes 1..5: device, channel count, recording period, interval, window.
    void UpdateStatusBar();
    // The main menu's circular-chart items, one per channel of the file.
    void RebuildCircleChartMenu();
    // The context menu with its items greyed as they would pop up now; the caller owns it.
    QMenu* BuildContextMenu();
    void ShowContextMenu(const QPoint& globalPosition);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RegisterCurveCommands();
    void RegisterDisplayCommands();
    void RegisterRecordCommands();
    // The file information was changed and saved: take the new settings and redraw.
    void DisplaySettingsChanged(kvr::CXFile* file);
    void LayoutChildren();
    // Writes the channel display states; redraws on success, tells the user otherwise.
    bool SaveDisplayChange();
    void ShowAllCurves(bool shown);
    void ShowNextFour();
    void ShowPreviousFour();
    void ToggleChannelPanel();

    std::unique_ptr<kvr::CXFile> file_;
    CTimeScrollBar* scrollBar_ = nullptr;
    CXCurveCtrl* curve_ = nullptr;
    CChannelPanel* panel_ = nullptr;
    int page_ = 0;
    bool panelShown_ = false;
    std::map<int, Command> commands_;
};
