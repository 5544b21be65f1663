#include "gui/app/view_factory.h"

#include "core/datafile/cxfile.h"
#include "gui/app/empty_realtime_view.h"
#include "gui/app/language.h"
#include "gui/app/main_frame.h"
#include "gui/history/hc_view.h"
#include "gui/link/cxcom.h"
#include "gui/link/cxviewdef.h"
#include "gui/link/upload_dlg.h"
#include "gui/common/view_host.h"
#include "sheetout/cxexcel.h"

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

void RegisterChildFactories() {
    // The export dialog is modal and gone when the factory returns.
    RegisterChildFactory(ChildWindow::ExcelExport, [](const ChildRequest& request) -> QWidget* {
        CXExcel excel;
        excel.SetFile(request.file);
        excel.SetRange(request.start, request.end);
        excel.ShowXWnd(EnglishFlag());
        return nullptr;
    });
}
