#pragma once
// How the main frame routes menu, toolbar and accelerator commands to the active view.
// A view that handles a command answers HandlesCommand(id) == true; the frame disables
// every view command that the active view does not handle.
#include <QString>
#include <QStringList>

class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    virtual bool HandlesCommand(int id) const = 0;
    // Enabled/checked state of a handled command (the update handlers).
    virtual bool IsCommandEnabled(int /*id*/) const { return true; }
    virtual bool IsCommandChecked(int /*id*/) const { return false; }
    virtual void ExecuteCommand(int id) = 0;
    // Called when the view's child window becomes active (status bar, menus).
    virtual void OnActivated() {}
};

// The status bar of the main frame: panes 1..5 are filled by the views (device name,
// channel count, recording period, record interval, total time). Views call this; it
// reaches the program's ViewHost when there is one, and keeps the last texts for reading
// (tests of a single window have no host).
void SetStatusText(int pane, const QString& text);
QString StatusText(int pane);

// The main menu's circular-chart submenu lists the channels of the active history file:
// item i runs command cmd::kCircleChartFirst + i. The history view fills it; the main frame
// installs the sink.
void SetCircleChartItems(const QStringList& channelNames);
using CircleChartSink = void (*)(const QStringList& channelNames);
void SetCircleChartSink(CircleChartSink sink);
