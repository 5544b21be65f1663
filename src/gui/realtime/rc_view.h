#pragma once
// CRCView: the realtime window. Runs the acquisition engine (configuration read with a
// progress dialog, polling, one record per record interval on its timer, stop, save) and
// shows the live file as curves with the time scroll bar above and the channel panel at
// the right. Opens the live list and the bar and dial windows on the same file.
//
// Every wait for the instrument runs away from the window's thread: the window keeps
// painting and shows a busy pointer meanwhile.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>

#include "core/link/acquisition.h"
#include "gui/common/command_map.h"
#include "gui/common/list_owner.h"
#include "gui/common/realtime_target.h"
#include "gui/curves/curve_parts.h"
#include "gui/lists/list_view.h"
#include "gui/realtime/alarm_watch.h"

class CChannelPanel;
class CRealtimeAlarmWnd;
class CSpanPanel;
class CTimeScrollBar;
class CXRealCurveCtrl;
class QMenu;

class CRCView : public QWidget, public CommandMap, public RealtimeTarget, public CListOwner {
    Q_OBJECT
public:
    explicit CRCView(QWidget* parent = nullptr);
    ~CRCView() override;

    // The serial device every realtime window uses instead of the one in the serial
    // settings (from the command line); empty: the settings.
    static void SetPortOverride(const std::string& device);
    // Replaces the save dialog (tests); null restores it. Returns the chosen path or "".
    using SavePathHook = std::function<QString()>;
    static void SetSavePathHook(SavePathHook hook);

    // Nothing runs while the window waits for the instrument.
    bool IsCommandEnabled(int id) const override;
    void ExecuteCommand(int id) override;
    void OnActivated() override;

    bool IsSaved() const override { return engine_.IsSaved(); }
    void StopAcquisition() override;
    bool SaveRealtimeFile() override;
    bool IsBusy() const override { return busy_; }

    void ListClosed(QWidget* list) override;
    void ListActivated() override { UpdateStatusBar(); }

    // The start command: offers to rescue unsaved records of an earlier run, reads the
    // configuration, starts polling and storing. Returns when acquiring or given up.
    void StartAcquisition();

    kvr::Acquisition& Engine() { return engine_; }
    CXRealCurveCtrl* CurveCtrl() const { return curve_; }
    CTimeScrollBar* TimeScrollBar() const { return parts_.scrollBar; }
    CChannelPanel* ChannelPanel() const { return parts_.panel; }
    CXListView* LiveList() const { return list_; }
    CSpanPanel* SpanPanel() const { return span_; }
    const CAlarmWatch& AlarmWatch() const { return alarmWatch_; }
    // The "实时报警" window, once opened and until closed.
    CRealtimeAlarmWnd* AlarmWindow() const;
    int CurvePage() const { return parts_.page; }
    bool HasSelection() const;
    // The record timer's tick, also for tests that do not want to wait an interval.
    void RecordTimerTick();

    // Status-bar panes 1..5 from the live file.
    void UpdateStatusBar();
    // The context menu with its items greyed as it would pop up now; the caller owns it.
    QMenu* BuildContextMenu();

signals:
    // A record was stored (the live windows follow it).
    void recordAppended();
    // The acquisition ended (stopped by the user, lost or full).
    void acquisitionStopped();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void RegisterCommands();
    void LayoutChildren();
    void ShowContextMenu(const QPoint& globalPosition);

    // Runs work on its own thread; the window keeps painting meanwhile.
    void RunResponsive(const std::function<void()>& work);
    bool AskAboutUnsavedData();
    bool OfferRecovery();
    bool ReadConfiguration();
    // Unbinds the live file: an empty plot with the display defaults and a notice.
    void ShowNoData();
    void BindFile();
    void StopWithQuestion();
    void StopNow();
    void AfterStop();
    bool ChooseAndSave();
    void NotifyRecord();
    void OpenChild(int kind, QPointer<QWidget>& window);
    void OpenAlarmWindow();
    void Print(bool preview);
    // The save dialog (or the test hook); "" when cancelled.
    QString AskSavePath();

    kvr::Acquisition engine_;
    CurveParts parts_;
    CXRealCurveCtrl* curve_ = nullptr;  // parts_.curve with its realtime type
    QTimer recordTimer_;
    QPointer<CXListView> list_;
    QPointer<QWidget> listWindow_;
    QPointer<QWidget> barWindow_;
    QPointer<QWidget> dialWindow_;
    QPointer<QWidget> alarmWindow_;
    CSpanPanel* span_ = nullptr;
    CAlarmWatch alarmWatch_;
    bool busy_ = false;
    bool fileBound_ = false;  // the children draw the live file
};
