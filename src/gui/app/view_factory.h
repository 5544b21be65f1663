#pragma once
// The one place that knows the concrete view classes of the child windows: the main frame
// opens files through it, and views open other subsystems' windows by kind through the
// factories it registers.
#include <QWidget>
#include <functional>

#include "gui/common/language.h"

namespace kvr {
class CXFile;
}

// Registers a factory for every child window kind the program has.
void RegisterChildFactories();

// The history view (takes the file from SetHistoryFile on).
QWidget* CreateHistoryView(QWidget* frame);
void SetHistoryFile(QWidget* view, kvr::CXFile* file);
// The history view's file is a live buffer another program records into: the view follows
// it, and tells recording whether the recording goes on.
void FollowHistoryFile(QWidget* view, std::function<void(bool recording)> recording);

// The cumulative-report view of ".ARF" files; it owns the file it is given.
QWidget* CreateReportView(QWidget* frame);
void SetReportFile(QWidget* view, kvr::CXFile* file);

// The realtime acquisition view; it implements CommandTarget and RealtimeTarget.
QWidget* CreateRealtimeView(QWidget* frame);
// The windows the realtime view opens on its live file (live list, bar and dial).
void RegisterRealtimeWindows();

// The serial upload dialog, run modally over parent, starting in the last-used folder; it
// opens the uploaded file through the main frame.
void RunUploadDialog(QWidget* parent, const QString& lastDir);
