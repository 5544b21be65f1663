#pragma once
// The one place that knows the concrete view classes of the child windows the main frame
// opens, so that a view still being built elsewhere plugs in here alone.
#include <QWidget>

namespace kvr {
class CXFile;
}
class CMainFrame;

// The history view (takes the file from SetHistoryFile on).
QWidget* CreateHistoryView(QWidget* frame);
void SetHistoryFile(QWidget* view, kvr::CXFile* file);

// The cumulative-report view of ".ARF" files; null while the program has none, which makes
// opening a report file end quietly.
QWidget* CreateReportView(QWidget* frame);
void SetReportFile(QWidget* view, kvr::CXFile* file);

// The realtime acquisition view; it implements CommandTarget and RealtimeTarget.
QWidget* CreateRealtimeView(QWidget* frame);

// The serial upload dialog, run modally; it opens the uploaded file through the main frame.
void RunUploadDialog(CMainFrame* mainFrame, int english);

// Registers the factories of the windows views open by kind (ViewHost::OpenChildWindow).
void RegisterChildFactories();
