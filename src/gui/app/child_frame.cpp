#include "gui/app/child_frame.h"

#include <QCloseEvent>
#include <QMainWindow>
#include <QMenu>
#include <QToolBar>
#include <algorithm>

#include "gui/app/command_actions.h"
#include "gui/app/command_table.h"
#include "gui/app/icons.h"
#include "gui/common/message_box.h"
#include "gui/common/realtime_target.h"

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(300, 200);
    setWindowIcon(ProgramIcon());
    LeaveProgramKeysToTheMenus();
}

void CChildFrame::LeaveProgramKeysToTheMenus() {
    // The window menu of a child window brings keys of its own (Ctrl+W closes); a key that
    // is also one of the program's accelerators would reach neither command.
    QMenu* menu = systemMenu();
    if (!menu) return;
    for (QAction* action : menu->actions()) {
        QList<QKeySequence> keys = action->shortcuts();
        keys.removeIf([](const QKeySequence& key) {
            const auto& table = Accelerators();
            return std::any_of(table.begin(), table.end(), [&](const Accelerator& accelerator) {
                return accelerator.keys == key;
            });
        });
        action->setShortcuts(keys);
    }
}

void CChildFrame::Create(QWidget* view, CommandActions& actions) {
    // A main window inside the frame lets the own toolbar dock on any side.
    body_ = new QMainWindow(this);
    body_->setWindowFlags(Qt::Widget);
    view_ = view;
    body_->setCentralWidget(view);
    if (toolbarId_ == kRealtimeToolbarId) {
        toolBar_ = new QToolBar(body_);
        toolBar_->setObjectName(QStringLiteral("ChildToolBar"));
        toolBar_->setIconSize(QSize(18, 18));
        toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
        for (int id : RealtimeToolbarButtons()) {
            if (id == 0)
                toolBar_->addSeparator();
            else
                toolBar_->addAction(actions.Action(id));
        }
        body_->addToolBar(Qt::TopToolBarArea, toolBar_);
    }
    setWidget(body_);
}

bool CChildFrame::QueryCloseRealtime() {
    if (!IsRealtime()) return true;
    auto* realtime = dynamic_cast<RealtimeTarget*>(view_);
    if (realtime && realtime->IsBusy()) return false;
    if (!realtime || realtime->IsSaved()) return true;
    const auto answer = ShowMessageBox(
        {this, QStringLiteral("已经存在实时采集数据!\n\n是否需要保存？"), NoticeCaption(),
         QMessageBox::Information, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel});
    if (answer == QMessageBox::Yes) {
        realtime->StopAcquisition();
        return realtime->SaveRealtimeFile();
    }
    if (answer == QMessageBox::No) {
        realtime->StopAcquisition();
        return true;
    }
    return false;
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (!QueryCloseRealtime()) {
        event->ignore();
        return;
    }
    QMdiSubWindow::closeEvent(event);
}
