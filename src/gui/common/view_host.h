#pragma once
// ViewHost: what a view may ask of the program's main window without knowing it: open or
// bring forward a child window, fill the status bar, find the folder the user last used.
// Views of one subsystem open another subsystem's windows by kind through OpenChildWindow,
// so no subsystem folder includes another's headers and none includes the main frame.
#include <QString>
#include <QWidget>
#include <functional>

#include "core/datafile/time.h"

namespace kvr {
class CXFile;
}
class CListOwner;

// The child windows a view can ask for. The program registers one factory per kind.
enum class ChildWindow {
    kDataList,          // the history data list of a file
    kCumulativeReport,  // the cumulative report of a file
    kTotals,            // the totals list (modeless dialog)
    kStatistics,        // peak, valley, mean and uniformity over a period
    kConfigReport,      // the configuration report of the file's instrument
    kAlarmList,
    kPowerFailureList,
    kOperationLog,
    kFileInfo,     // the file information dialog
    kCircleChart,  // one channel of a history file as a circular chart
    kExcelExport,
    kRealtimeList,  // the data list that follows the live file
    kBarView,
    kDialView,
};

// What the requesting view hands to the factory. The file is borrowed: the requesting view
// keeps owning it and outlives every window opened for it.
struct ChildRequest {
    QWidget* owner = nullptr;  // the requesting view (parent for dialogs)
    kvr::CXFile* file = nullptr;
    kvr::Time start = 0;  // the selection or the shown range
    kvr::Time end = 0;
    int channel = -1;                 // for per-channel windows
    CListOwner* listOwner = nullptr;  // for data lists: the owner the list reports to
};

class ViewHost {
public:
    virtual ~ViewHost() = default;

    // The main window's host, or null where there is none (tests of a single window).
    static ViewHost* Instance();
    static void SetInstance(ViewHost* host);

    // Wraps the view in a new child window with the title, adds it to the client area
    // (maximised or at the cascade position) and activates it. Returns the child window,
    // which the client area owns.
    virtual QWidget* ShowChildView(QWidget* view, const QString& title, bool maximized) = 0;
    // Brings the child window that holds the view forward, restored if it was minimised.
    virtual void ActivateChildView(QWidget* view) = 0;
    // Status-bar panes 1..5 (device name, channel count, recording period, interval, total).
    virtual void SetStatusText(int pane, const QString& text) = 0;
    virtual QString LastDir() const = 0;
};

// Makes the window for a request; returns the new window (or the existing one it brought
// forward), null when it cannot be made (the factory has told the user why).
using ChildFactory = std::function<QWidget*(const ChildRequest&)>;
void RegisterChildFactory(ChildWindow kind, ChildFactory factory);
void UnregisterChildFactory(ChildWindow kind);
bool HasChildFactory(ChildWindow kind);
QWidget* OpenChildWindow(ChildWindow kind, const ChildRequest& request);
