#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/empty_realtime_view.h"
#include "gui/app/main_frame.h"
#include "gui/common/language.h"
#include "gui/common/list_owner.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "gui/history/hc_view.h"
#include "gui/link/cxcom.h"
#include "gui/link/cxviewdef.h"
#include "gui/link/upload_dlg.h"
#include "gui/lists/list_view.h"
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

// The export dialog of the export library; it is modal and gone when this returns.
QWidget* RunExcelExport(const ChildRequest& request) {
    CXExcel excel;
    excel.SetFile(request.file);
    excel.SetRange(request.start, request.end);
    excel.ShowXWnd(ProgramLanguage() == Language::English ? 1 : 0);
    return nullptr;
}

}  // namespace

void RegisterChildFactories() {
    RegisterChildFactory(ChildWindow::DataList, OpenDataList);
    RegisterChildFactory(ChildWindow::ExcelExport, RunExcelExport);
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
