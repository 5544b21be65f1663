#include "gui/history/hc_navigation.h"

#include "gui/common/command_ids.h"
#include "gui/common/message_box.h"
#include "gui/common/view_host.h"
#include "gui/curves/curve_ctrl.h"
#include "gui/history/hc_view.h"
#include "gui/history/range_dlg.h"
#include "gui/history/tag_manager_dlg.h"
#include "gui/history/value_label_dlg.h"
#include "gui/navigation/find_dlg.h"
#include "gui/navigation/goto_dlg.h"

CHCNavigation::CHCNavigation(CHCView* view) : QObject(view), view_(view) { RegisterCommands(); }

CHCNavigation::~CHCNavigation() {
    // The list borrows the view's file: it goes first.
    if (listFrame_) {
        QWidget* frame = listFrame_;
        listFrame_ = nullptr;
        listView_ = nullptr;
        delete frame;
    }
}

void CHCNavigation::RegisterCommands() {
    const auto withFile = [this] { return view_->GetFile() != nullptr; };
    const auto cursorMode = [this] {
        return view_->GetFile() != nullptr && !view_->CurveCtrl()->IsSelectMode();
    };
    view_->RegisterCommand(cmd::kAddTag, {[this] { AddTag(); }, cursorMode, {}});
    view_->RegisterCommand(cmd::kTagManager, {[this] { ManageTags(); }, withFile, {}});
    view_->RegisterCommand(cmd::kValueLabel, {[this] { EditLabels(); }, withFile, {}});
    view_->RegisterCommand(cmd::kGoTo, {[this] { GoTo(); }, withFile, {}});
    view_->RegisterCommand(cmd::kRange, {[this] { SetRange(); }, withFile, {}});
    view_->RegisterCommand(cmd::kFind, {[this] { Find(); }, withFile, {}});
    view_->RegisterCommand(
        cmd::kFindNext,
        {[this] { FindNext(); }, [this] { return view_->GetFile() && find_.searchMade; }, {}});
    view_->RegisterCommand(cmd::kDataList, {[this] { OpenDataList(); }, withFile, {}});
}

// ---------------------------------------------------------------------------------------
// Tags and value labels

void CHCNavigation::AddTag() {
    if (const char* refusal = view_->GetFile()->EditRefusal()) {
        ShowStopMessage(view_, QString::fromUtf8(refusal), NoticeCaption());
        return;
    }
    // A cursor time of 0 (no cursor) or one outside the file is refused by the file.
    view_->GetFile()->AddTag(view_->CurveCtrl()->GetCursorTime());
    view_->CurveCtrl()->Rebuild();
}

void CHCNavigation::ManageTags() {
    CTagManagerDlg dialog(*view_->GetFile(), view_);
    dialog.exec();
    view_->CurveCtrl()->Rebuild();
}

void CHCNavigation::EditLabels() {
    if (!EditValueLabels(view_, *view_->GetFile())) return;
    view_->CurveCtrl()->ApplyFileSettings();
    view_->CurveCtrl()->Rebuild();
}

// ---------------------------------------------------------------------------------------
// Navigation

void CHCNavigation::GoTo() {
    CGoToDlg dialog(*view_->GetFile(), view_);
    if (dialog.exec() == QDialog::Accepted) view_->CurveCtrl()->GoTo(dialog.Result());
}

void CHCNavigation::SetRange() {
    const auto [windowStart, windowEnd] = view_->CurveCtrl()->GetWindowRange();
    CRangeDlg dialog(*view_->GetFile(), windowStart, windowEnd, view_);
    if (dialog.exec() != QDialog::Accepted) return;
    view_->CurveCtrl()->ZoomTo(dialog.Start(), dialog.End());
    view_->UpdateStatusBar();
}

void CHCNavigation::Find() {
    CFindDlg dialog(*view_->GetFile(), find_, view_);
    connect(&dialog, &CFindDlg::findStepRequested, this, &CHCNavigation::FindStep);
    dialog.exec();
}

void CHCNavigation::FindStep() {
    const kvr::CXFile* file = view_->GetFile();
    if (!file) return;
    const std::optional<kvr::Time> found =
        kvr::FindStep(*file, find_, view_->CurveCtrl()->GetCursorTime(), kvr::FindOrigin::kCurve);
    if (found)
        view_->CurveCtrl()->GoTo(*found);
    else
        ShowNotFound();
}

void CHCNavigation::FindNext() {
    const std::optional<kvr::Time> found = kvr::FindNext(*view_->GetFile(), find_);
    if (found)
        view_->CurveCtrl()->GoTo(*found);
    else
        ShowNotFound();
}

void CHCNavigation::ShowNotFound() {
    ShowMessageBox({view_, QStringLiteral("数据未找到！"), NoticeCaption(), QMessageBox::Warning,
                    QMessageBox::Ok});
}

// ---------------------------------------------------------------------------------------
// The data list window

void CHCNavigation::OpenDataList() {
    if (listFrame_) {
        // Activate and restore, whatever state the list window was left in.
        if (ViewHost* host = ViewHost::Instance()) host->ActivateChildView(listView_);
        return;
    }
    ChildRequest request;
    request.owner = view_;
    request.file = view_->GetFile();
    request.listOwner = this;
    listFrame_ = OpenChildWindow(ChildWindow::kDataList, request);
}

void CHCNavigation::ListOpened(QWidget* list) { listView_ = list; }

void CHCNavigation::ListClosed(QWidget* list) {
    if (list != listView_) return;
    listView_ = nullptr;
    listFrame_ = nullptr;
}

void CHCNavigation::ListActivated() { view_->UpdateStatusBar(); }

// The list shows the same totals window as the curves: one per history view.
bool CHCNavigation::HasCumulativeList() const {
    return view_->GetFile() && HasChildFactory(ChildWindow::kTotals);
}

void CHCNavigation::OpenCumulativeList() {
    OpenChildWindow(ChildWindow::kTotals, {view_, view_->GetFile(), 0, 0, -1});
}
