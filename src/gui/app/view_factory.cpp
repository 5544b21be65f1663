#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/empty_realtime_view.h"
#include "gui/app/report_windows.h"
#include "gui/app/main_frame.h"
#include "gui/common/message_box.h"
#include "gui/common/list_owner.h"
#include "gui/common/view_host.h"
#include "gui/history/hc_view.h"
#include "gui/lists/cumu_show_view.h"
#include "gui/link/cxcom.h"
#include "gui/link/cxviewdef.h"
#include "gui/link/upload_dlg.h"
#include "gui/lists/list_view.h"

namespace {

// The data list of a history file, maximised like the program's other lists.
QWidget* OpenDataList(const ChildRequest& request) {
    ViewHost* host = ViewHost::Instance();
    if (!host || !request.file) return nullptr;
    auto* list = new CXListView;
    list->SetHistoryOwner(request.listOwner);
    list->SetFile(request.file);
    const QString title = QStringLiteral("历史数据列表") + QStringLiteral(" [") +
                          QString::fromStdString(request.file->GetFileName()) + QStringLiteral("]");
    QWidget* window = host->ShowChildView(list, title, true);
    list->OnActivated();
    return window;
}

}  // namespace

void RegisterChildFactories() {
    RegisterChildFactory(ChildWindow::DataList, OpenDataList);
    RegisterReportWindows();
}

QWidget* CreateHistoryView(QWidget* frame) { return new CHCView(frame); }

void SetHistoryFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CHCView*>(view)->SetFile(file);
}

QWidget* CreateReportView(QWidget* frame) { return new CCumuShowView(frame); }

// A report file opened on its own belongs to its report view.
void SetReportFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CCumuShowView*>(view)->SetFile(file, true);
}

QWidget* CreateRealtimeView(QWidget* frame) { return new CEmptyRealtimeView(frame); }

void RunUploadDialog(CMainFrame* mainFrame, Language) {
    _tagComParam param;
    CXCom().GetComm(&param);
    _tagViewDef view;
    CXViewDef().GetView(&view);
    CUploadDlg dialog(param, view, mainFrame->LastDir(), mainFrame);
    dialog.exec();
}
