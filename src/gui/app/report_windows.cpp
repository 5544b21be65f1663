#include "gui/app/report_windows.h"

#include <QPointer>
#include <map>

#include "core/datafile/cxfile.h"
#include "gui/common/view_host.h"
#include "gui/realtime/rc_view.h"
#include "gui/reports/cumu_show_view.h"
#include "gui/reports/stat_dlg.h"
#include "gui/reports/totals_dlg.h"

namespace {

// One report and one totals window per opening view. The windows borrow the view's file,
// so they go when the view goes.
std::map<QObject*, QPointer<CCumuShowView>>& OpenReports() {
    static std::map<QObject*, QPointer<CCumuShowView>> reports;
    return reports;
}

std::map<QObject*, QPointer<CXTotalsDlg>>& OpenTotals() {
    static std::map<QObject*, QPointer<CXTotalsDlg>> totals;
    return totals;
}

QWidget* OpenCumulativeReport(const ChildRequest& request) {
    ViewHost* host = ViewHost::Instance();
    if (!host || !request.file) return nullptr;
    QPointer<CCumuShowView>& open = OpenReports()[request.owner];
    if (open) {
        host->ActivateChildView(open);
        return open;
    }
    auto* view = new CCumuShowView;
    const QString path = QString::fromStdString(request.file->GetFileName());
    // Maximised: the table needs the width of the client area.
    QWidget* frame = host->ShowChildView(view, QStringLiteral("累积报表 [%1]").arg(path), true);
    view->SetFile(request.file);
    view->SetOwner(request.owner);
    open = view;
    if (QObject* owner = request.owner) {
        QObject::connect(owner, &QObject::destroyed, frame, [owner, frame] {
            OpenReports().erase(owner);
            delete frame;
        });
    }
    return view;
}

QWidget* OpenTotalsList(const ChildRequest& request) {
    if (!request.file) return nullptr;
    QPointer<CXTotalsDlg>& open = OpenTotals()[request.owner];
    delete open.data();
    auto* dialog = new CXTotalsDlg(request.owner);
    dialog->SetFile(request.file);
    dialog->Open();
    // The live totals change with every poll; the list follows each stored record.
    if (auto* live = qobject_cast<CRCView*>(request.owner))
        QObject::connect(live, &CRCView::recordAppended, dialog, &CXTotalsDlg::Refresh);
    open = dialog;
    if (QObject* owner = request.owner)
        QObject::connect(owner, &QObject::destroyed, [owner] { OpenTotals().erase(owner); });
    return dialog;
}

QWidget* RunStatistics(const ChildRequest& request) {
    if (!request.file) return nullptr;
    CXStatDlg dialog(request.owner);
    dialog.SetFile(request.file);
    dialog.exec();
    return request.owner;
}

}  // namespace

void RegisterReportWindows() {
    RegisterChildFactory(ChildWindow::kCumulativeReport, OpenCumulativeReport);
    RegisterChildFactory(ChildWindow::kTotals, OpenTotalsList);
    RegisterChildFactory(ChildWindow::kStatistics, RunStatistics);
}
