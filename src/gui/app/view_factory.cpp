#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/empty_realtime_view.h"
#include "gui/app/main_frame.h"
#include "gui/history/hc_view.h"
#include "gui/link/cxcom.h"
#include "gui/link/cxviewdef.h"
#include "gui/link/upload_dlg.h"
#include "gui/records/config_report_dlg.h"
#include "gui/records/event_list_dlg.h"
#include "gui/records/file_info_dlg.h"

QWidget* CreateHistoryView(QWidget* frame) { return new CHCView(frame); }

void SetHistoryFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CHCView*>(view)->SetFile(file);
}

QWidget* CreateReportView(QWidget*) { return nullptr; }

void SetReportFile(QWidget*, kvr::CXFile* file) { delete file; }

QWidget* CreateRealtimeView(QWidget* frame) { return new CEmptyRealtimeView(frame); }

void RunUploadDialog(CMainFrame* mainFrame, int) {
    _tagComParam param;
    CXCom().GetComm(&param);
    _tagViewDef view;
    CXViewDef().GetView(&view);
    CUploadDlg dialog(param, view, mainFrame->LastDir(), mainFrame);
    dialog.exec();
}

namespace {

// The record windows are modal: they have closed again when the factory returns.
template <typename Dialog, typename... Args>
QWidget* RunModal(const ChildRequest& request, Args... args) {
    Dialog dialog(args..., request.file, request.owner);
    dialog.exec();
    return nullptr;
}

void RegisterEventList(ChildWindow kind, kvr::EventList list) {
    RegisterChildFactory(kind, [list](const ChildRequest& r) { return RunModal<CEventListDlg>(r, list); });
}

}  // namespace

void RegisterChildWindowFactories() {
    RegisterChildFactory(ChildWindow::ConfigReport,
                         [](const ChildRequest& r) { return RunModal<CConfigReportDlg>(r); });
    RegisterEventList(ChildWindow::AlarmList, kvr::EventList::Alarm);
    RegisterEventList(ChildWindow::PowerFailureList, kvr::EventList::PowerFailure);
    RegisterEventList(ChildWindow::OperationLog, kvr::EventList::Operation);
    RegisterChildFactory(ChildWindow::FileInfo, [](const ChildRequest& r) -> QWidget* {
        if (!r.file || !r.file->IsOpen()) return nullptr;
        return RunModal<CFileInfoDlg>(r);
    });
}
