#pragma once
// CHCView: one opened history file shown as curves, with the time scroll bar across the
// top, the curve control below it and the channel panel at the right. Owns its CXFile
// from SetFile on, routes the history-curve commands and keeps the status bar describing
// the file.
//
// Commands live in a table from id to handler, enabler and check-mark test, so that the
// windows built elsewhere (lists, dialogs, charts) add theirs with RegisterCommand.
#include <QWidget>
#include <memory>

#include "core/datafile/cxfile.h"
#include "gui/app/command_target.h"
#include "gui/common/command_registry.h"
#include "gui/history/curve_parts.h"

class CChannelPanel;
class CTimeScrollBar;
class CXCurveCtrl;
class QMenu;

class CHCView : public QWidget, public CommandTarget {
    Q_OBJECT
public:
    static constexpr int kScrollBarHeight = CurveParts::kScrollBarHeight;
    static constexpr int kMargin = CurveParts::kMargin;

    using Command = CommandRegistry::Command;

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

    CXCurveCtrl* CurveCtrl() const { return parts_.curve; }
    CTimeScrollBar* TimeScrollBar() const { return parts_.scrollBar; }
    CChannelPanel* ChannelPanel() const { return parts_.panel; }
    bool IsPanelShown() const { return parts_.panelShown; }
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
    void LayoutChildren();
    // Writes the channel display states; redraws on success, tells the user otherwise.
    bool SaveDisplayChange();
    void ShowAllCurves(bool shown);
    void ShowNextFour();
    void ShowPreviousFour();
    void ToggleChannelPanel();

    std::unique_ptr<kvr::CXFile> file_;
    CurveParts parts_;
    int page_ = 0;
    CommandRegistry commands_;
};
