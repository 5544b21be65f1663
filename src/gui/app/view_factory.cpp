#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "core/datafile/program.h"
#include "gui/app/report_windows.h"
#include "gui/charts/bar_view.h"
#include "gui/charts/range_view.h"
#include "gui/charts/rrange_view.h"
#include "gui/common/language.h"
#include "gui/common/list_owner.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "gui/history/hc_view.h"
#include "gui/lists/list_view.h"
#include "gui/realtime/rc_view.h"
#include "gui/records/config_report_dlg.h"
#include "gui/records/event_list_dlg.h"
#include "gui/records/file_info_dlg.h"
#include "gui/reports/cumu_show_view.h"
#include "gui/settings/cxcom.h"
#include "gui/settings/cxviewdef.h"
#include "gui/upload/upload_dlg.h"
#include "sheetout/cxexcel.h"

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

// The record windows are modal: they have closed again when the factory returns.
template <typename Dialog, typename... Args>
QWidget* RunModal(const ChildRequest& request, Args... args) {
    Dialog dialog(args..., request.file, request.owner);
    dialog.exec();
    return nullptr;
}

void RegisterEventList(ChildWindow kind, kvr::EventList list) {
    RegisterChildFactory(
        kind, [list](const ChildRequest& r) { return RunModal<CEventListDlg>(r, list); });
}

// One channel of a history file as a circular chart, maximised, titled by the channel.
QWidget* OpenCircleChart(const ChildRequest& request) {
    ViewHost* host = ViewHost::Instance();
    if (!host || !request.file) return nullptr;
    auto* view = new CRangeView(request.file, request.channel, request.start, request.end);
    return host->ShowChildView(view, view->windowTitle(), true);
}

// The export dialog of the export library; it is modal and gone when this returns.
QWidget* RunExcelExport(const ChildRequest& request) {
    // The library reads the last-used folder from our settings, wherever they are kept.
    CXExcel::SetSettingsFolder(kvr::GetProgramFolder().c_str());
    CXExcel excel;
    excel.SetFile(request.file);
    excel.SetRange(request.start, request.end);
    excel.ShowXWnd(ProgramLanguage() == Language::kEnglish ? 1 : 0);
    return nullptr;
}

}  // namespace

void RegisterChildFactories() {
    RegisterChildFactory(ChildWindow::kDataList, OpenDataList);
    RegisterRealtimeWindows();
    RegisterChildFactory(ChildWindow::kConfigReport,
                         [](const ChildRequest& r) { return RunModal<CConfigReportDlg>(r); });
    RegisterEventList(ChildWindow::kAlarmList, kvr::EventList::kAlarm);
    RegisterEventList(ChildWindow::kPowerFailureList, kvr::EventList::kPowerFailure);
    RegisterEventList(ChildWindow::kOperationLog, kvr::EventList::kOperation);
    RegisterChildFactory(ChildWindow::kFileInfo, [](const ChildRequest& r) -> QWidget* {
        if (!r.file || !r.file->IsOpen()) return nullptr;
        return RunModal<CFileInfoDlg>(r);
    });
    RegisterChildFactory(ChildWindow::kCircleChart, OpenCircleChart);
    RegisterReportWindows();
    RegisterChildFactory(ChildWindow::kExcelExport, RunExcelExport);
}

QWidget* CreateHistoryView(QWidget* frame) { return new CHCView(frame); }

void SetHistoryFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CHCView*>(view)->SetFile(file);
}

void FollowHistoryFile(QWidget* view, std::function<void(bool recording)> recording) {
    static_cast<CHCView*>(view)->StartFollowing(std::move(recording));
}

QWidget* CreateReportView(QWidget* frame) { return new CCumuShowView(frame); }

// A report file opened on its own belongs to its report view.
void SetReportFile(QWidget* view, kvr::CXFile* file) {
    static_cast<CCumuShowView*>(view)->SetFile(file, true);
}

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
    RegisterChildFactory(ChildWindow::kRealtimeList, [](const ChildRequest& request) -> QWidget* {
        auto* list = new CXListView;
        list->AttachAcquisition(request.listOwner);
        list->SetFile(request.file);
        return ShowInHost(list, QStringLiteral("实时数据列表"), true);
    });
    RegisterChildFactory(ChildWindow::kBarView, [](const ChildRequest& request) -> QWidget* {
        return ShowInHost(CreateBarWindowView(request.file), QStringLiteral("实时棒图"), false);
    });
    RegisterChildFactory(ChildWindow::kDialView, [](const ChildRequest& request) -> QWidget* {
        return ShowInHost(new CRRangeView(request.file), QStringLiteral("实时圆图"), false);
    });
}

QWidget* CreateRealtimeView(QWidget* frame) { return new CRCView(frame); }

void RunUploadDialog(QWidget* parent, const QString& lastDir) {
    kvr::ComParam param;
    CXCom().GetComm(&param);
    kvr::ViewDef view;
    CXViewDef().GetView(&view);
    CUploadDlg dialog(param, view, lastDir, parent);
    dialog.exec();
}
