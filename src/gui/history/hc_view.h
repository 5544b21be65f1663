#pragma once
// CHCView: one opened history file shown as curves, with the time scroll bar across the
// top, the curve control below it and the channel panel at the right. Owns its CXFile
// from SetFile on, routes the history-curve commands and keeps the status bar describing
// the file.
//
// Its commands live in a CommandMap; the windows it opens (lists, dialogs, charts) add
// theirs with RegisterCommand.
#include <QWidget>
#include <memory>

#include "core/datafile/cxfile.h"
#include "gui/common/command_map.h"
#include "gui/curves/curve_parts.h"

class CChannelPanel;
class CSpanPanel;
class CTimeScrollBar;
class CXCurveCtrl;
class QMenu;

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

    std::unique_ptr<kvr::CXFile> file_;
    CurveParts parts_;
    CSpanPanel* span_ = nullptr;
};
