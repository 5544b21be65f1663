#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/empty_realtime_view.h"
#include "gui/app/main_frame.h"
#include "gui/app/message_box.h"
#include "gui/history/hc_view.h"

QWidget* CreateHistoryView(QWidget* frame) { return new CHCView(frame); }

void SetHistoryFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CHCView*>(view)->SetFile(file);
}

QWidget* CreateReportView(QWidget*) { return nullptr; }

void SetReportFile(QWidget*, kvr::CXFile* file) { delete file; }

QWidget* CreateRealtimeView(QWidget* frame) { return new CEmptyRealtimeView(frame); }

void RunUploadDialog(CMainFrame* mainFrame, int) {
    ShowMessageBox({mainFrame, QStringLiteral("本版本尚未提供串口上传功能。"),
                    NoticeCaption(), QMessageBox::Information, QMessageBox::Ok});
}
