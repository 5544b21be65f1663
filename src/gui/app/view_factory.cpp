#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/main_frame.h"
#include "gui/charts/bar_view.h"
#include "gui/charts/rrange_view.h"
#include "gui/common/view_host.h"
#include "gui/history/hc_view.h"
#include "gui/link/cxcom.h"
#include "gui/link/cxviewdef.h"
#include "gui/link/upload_dlg.h"
#include "gui/lists/list_view.h"
#include "gui/realtime/rc_view.h"

QWidget* CreateHistoryView(QWidget* frame) { return new CHCView(frame); }

void SetHistoryFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CHCView*>(view)->SetFile(file);
}

QWidget* CreateReportView(QWidget*) { return nullptr; }

void SetReportFile(QWidget*, kvr::CXFile* file) { delete file; }

namespace {

QWidget* ShowInHost(QWidget* view, const QString& title, bool maximized) {
    if (ViewHost* host = ViewHost::Instance()) {
        host->ShowChildView(view, title, maximized);
    } else {
        view->setWindowTitle(title);
        view->show();
    }
    return view;
}

}  // namespace

void RegisterRealtimeWindows() {
    RegisterChildFactory(ChildWindow::RealtimeList, [](const ChildRequest& request) -> QWidget* {
        auto* list = new CXListView;
        list->AttachAcquisition(dynamic_cast<CListOwner*>(request.owner));
        list->SetFile(request.file);
        return ShowInHost(list, QStringLiteral("实时数据列表"), true);
    });
    RegisterChildFactory(ChildWindow::BarView, [](const ChildRequest& request) -> QWidget* {
        return ShowInHost(CreateBarWindowView(request.file), QStringLiteral("实时棒图"), false);
    });
    RegisterChildFactory(ChildWindow::DialView, [](const ChildRequest& request) -> QWidget* {
        return ShowInHost(new CRRangeView(request.file), QStringLiteral("实时圆图"), false);
    });
}

QWidget* CreateRealtimeView(QWidget* frame) {
    if (!HasChildFactory(ChildWindow::RealtimeList)) RegisterRealtimeWindows();
    return new CRCView(frame);
}

void RunUploadDialog(CMainFrame* mainFrame, int) {
    _tagComParam param;
    CXCom().GetComm(&param);
    _tagViewDef view;
    CXViewDef().GetView(&view);
    CUploadDlg dialog(param, view, mainFrame->LastDir(), mainFrame);
    dialog.exec();
}
