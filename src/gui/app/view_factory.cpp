#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/empty_realtime_view.h"
#include "gui/app/main_frame.h"
#include "gui/common/message_box.h"
#include "gui/common/list_owner.h"
#include "gui/common/view_host.h"
#include "gui/charts/bar_view.h"
#include "gui/charts/range_view.h"
#include "gui/charts/rrange_view.h"
#include "gui/history/hc_view.h"
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

// One channel of a history file as a circular chart, maximised, titled by the channel.
QWidget* OpenCircleChart(const ChildRequest& request) {
    ViewHost* host = ViewHost::Instance();
    if (!host || !request.file) return nullptr;
    auto* view = new CRangeView(request.file, request.channel, request.start, request.end);
    return host->ShowChildView(view, view->windowTitle(), true);
}

// The live bar and dial windows follow the realtime view's file.
QWidget* OpenBarWindow(const ChildRequest& request) {
    ViewHost* host = ViewHost::Instance();
    if (!host || !request.file) return nullptr;
    return host->ShowChildView(CreateBarWindowView(request.file), QStringLiteral("实时棒图"), false);
}

QWidget* OpenDialWindow(const ChildRequest& request) {
    ViewHost* host = ViewHost::Instance();
    if (!host || !request.file) return nullptr;
    return host->ShowChildView(new CRRangeView(request.file), QStringLiteral("实时圆图"), false);
}

}  // namespace

void RegisterChildFactories() {
    RegisterChildFactory(ChildWindow::DataList, OpenDataList);
    RegisterChildFactory(ChildWindow::CircleChart, OpenCircleChart);
    RegisterChildFactory(ChildWindow::BarView, OpenBarWindow);
    RegisterChildFactory(ChildWindow::DialView, OpenDialWindow);
}

QWidget* CreateHistoryView(QWidget* frame) { return new CHCView(frame); }

void SetHistoryFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CHCView*>(view)->SetFile(file);
}

QWidget* CreateReportView(QWidget*) { return nullptr; }

void SetReportFile(QWidget*, kvr::CXFile* file) { delete file; }

QWidget* CreateRealtimeView(QWidget* frame) { return new CEmptyRealtimeView(frame); }

void RunUploadDialog(CMainFrame* mainFrame, Language) {
    _tagComParam param;
    CXCom().GetComm(&param);
    _tagViewDef view;
    CXViewDef().GetView(&view);
    CUploadDlg dialog(param, view, mainFrame->LastDir(), mainFrame);
    dialog.exec();
}
