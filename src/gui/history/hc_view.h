#pragma once
// CHCView: one opened history file shown as curves, with the time scroll bar across the
// top, the curve control below it and the channel panel at the right. Owns its CXFile
// from SetFile on, routes the history-curve commands and keeps the status bar describing
// the file.
//
// Its commands live in a CommandMap; the windows it opens (lists, dialogs, charts) add
// theirs with RegisterCommand.
#include <QWidget>
#include <functional>
#include <memory>

#include "core/datafile/cxfile.h"
#include "gui/common/command_map.h"
#include "gui/curves/curve_parts.h"

class CChannelPanel;
class CSpanPanel;
class CTimeScrollBar;
class CXCurveCtrl;
class QMenu;
class QTimer;

class CHCView : public QWidget, public CommandMap {
    Q_OBJECT
public:
    explicit CHCView(QWidget* parent = nullptr);
    ~CHCView() override;

    // Takes ownership; a null file leaves the view empty.
    void SetFile(kvr::CXFile* file);
    kvr::CXFile* GetFile() const { return file_.get(); }

    void OnActivated() override;

    CXCurveCtrl* CurveCtrl() const { return parts_.curve; }
    CTimeScrollBar* TimeScrollBar() const { return parts_.scrollBar; }
    CChannelPanel* ChannelPanel() const { return parts_.panel; }
    CSpanPanel* SpanPanel() const { return span_; }
    int CurvePage() const { return parts_.page; }
    // Selection mode with a selection whose start is set and differs from its end.
    bool HasSelection() const;

    // Status-bar panes 1..5: device, channel count, recording period, interval, window.
    void UpdateStatusBar();
    // The main menu's circular-chart items, one per channel of the file.
    void RebuildCircleChartMenu();
    // The context menu with its items greyed as they would pop up now; the caller owns it.
    QMenu* BuildContextMenu();
    void ShowContextMenu(const QPoint& globalPosition);

    // The file is a live buffer that another program records into: from now on the view
    // looks for new records every second, and advances with them. recording is told
    // whether the recording goes on (false once the buffer is gone, true when it is back).
    void StartFollowing(std::function<void(bool recording)> recording);
    bool IsFollowing() const { return followTimer_ != nullptr; }
    // One look at the followed file (the timer's work).
    void FollowTick();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RegisterCurveCommands();
    void RegisterDisplayCommands();
    void RegisterWindowCommands();
    // The export dialog with the selection, or with the shown range when nothing is selected.
    void OpenExport();
    // The file information was changed and saved: take the new settings and redraw.
    void DisplaySettingsChanged(kvr::CXFile* file);

    // Following: new records of the file, a new recording in its place.
    void TakeNewRecords();
    void OpenNewRecording();

    std::unique_ptr<kvr::CXFile> file_;
    CurveParts parts_;
    CSpanPanel* span_ = nullptr;
    QTimer* followTimer_ = nullptr;
    std::function<void(bool)> recordingChanged_;
    bool recording_ = true;
    kvr::Time shownEnd_ = 0;  // the end of the file the curves were last given
};
