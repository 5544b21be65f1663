#include "gui/app/main_frame.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <memory>

#include "core/datafile/cxfile.h"
#include "core/datafile/program.h"
#include "core/settings/last_dir.h"
#include "core/settings/view_switches.h"
#include "gui/app/child_frame.h"
#include "gui/app/command_actions.h"
#include "gui/app/command_table.h"
#include "gui/app/icons.h"
#include "gui/app/mdi_background.h"
#include "gui/app/status_pane.h"
#include "gui/app/view_factory.h"
#include "gui/common/command_ids.h"
#include "gui/common/command_target.h"
#include "gui/common/language.h"
#include "gui/common/message_box.h"
#include "gui/common/window_commands.h"
#include "gui/settings/cxcom.h"
#include "gui/settings/cxviewdef.h"
#include "widgets/file_dialog_locale.h"

namespace {

// Views reach the status bar and the circular-chart menu through free functions; they go
// to the one main frame of the process.
CMainFrame* theMainFrame = nullptr;

constexpr int kPaneWidths[6] = {160, 300, 100, 320, 100, 1000};
const char kIdleText[] = "就绪";
const char kNoRecordYetText[] = "采集缓冲文件中还没有记录，请在采集到第一条记录后再打开。";
// The frame's title is the product string that the background banner shows too.
const char kProgramTitle[] = "Kevara 1.0.8";
constexpr int kStateRefreshMs = 250;

// A file cut short is open read-only, and its window says so.
QString HistoryTitle(const QString& path, bool damaged) {
    const QString title = QStringLiteral("历史趋势曲线 [%1]").arg(path);
    return damaged ? title + QStringLiteral("（%1）").arg(QString::fromUtf8(kvr::kFileDamagedText))
                   : title;
}
QString ReportTitle(const QString& path) { return QStringLiteral("累积报表 [%1]").arg(path); }

}  // namespace

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(kProgramTitle));
    setWindowIcon(ProgramIcon());
    setAcceptDrops(true);
    mdiArea_ = new CMdiBackground(this);
    setCentralWidget(mdiArea_);
    actions_ = new CommandActions(this);
    actions_->SetActiveTarget([this]() -> CommandTarget* {
        CChildFrame* frame = ActiveFrame();
        return frame ? dynamic_cast<CommandTarget*>(frame->View()) : nullptr;
    });
    RegisterChildFactories();
    RegisterFrameCommands();
    BuildMenus();
    BuildToolBar();
    HideMissingWindows();
    BuildStatusBar();
    for (const Accelerator& accelerator : Accelerators())
        actions_->Action(accelerator.id)->setShortcut(accelerator.keys);
    connect(mdiArea_, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

    // Toolbar buttons follow the active view's state without a menu being opened.
    auto* refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    refresh->start(kStateRefreshMs);

    theMainFrame = this;
    ViewHost::SetInstance(this);
    SetCircleChartSink([](const QStringList& names) {
        if (theMainFrame) theMainFrame->FillCircleChartMenu(names);
    });
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // Hiding the children on the way out activates other windows; this frame is half gone.
    disconnect(mdiArea_, nullptr, this, nullptr);
    for (QMdiSubWindow* window : mdiArea_->subWindowList())
        disconnect(window, nullptr, this, nullptr);
    // Views may still report while the child windows go away with this window.
    if (theMainFrame == this) {
        theMainFrame = nullptr;
        ViewHost::SetInstance(nullptr);
        SetCircleChartSink(nullptr);
    }
}

void CMainFrame::RegisterFrameCommands() {
    using namespace cmd;
    actions_->SetFrameHandler(kOpen, [this] { OnFileOpen(); });
    actions_->SetFrameHandler(kRealtimeWindow, [this] { ShowRealtimeWindow(); });
    actions_->SetFrameHandler(kSerialParameters, [] { CXCom().ShowXWnd(ProgramLanguage()); });
    actions_->SetFrameHandler(kDisplayDefaults, [] { CXViewDef().ShowXWnd(ProgramLanguage()); });
    actions_->SetFrameHandler(kDeviceConfiguration, [this] { OnDeviceConfiguration(); });
    actions_->SetFrameHandler(kSerialUpload, [this] { RunUploadDialog(this, LastDir()); });
    actions_->SetFrameHandler(
        kCloseWindow,
        [this] {
            if (CChildFrame* frame = ActiveFrame()) frame->close();
        },
        [this] { return ActiveFrame() != nullptr; });
    actions_->SetFrameHandler(kExit, [this] { close(); });
    actions_->SetFrameHandler(
        kAlarmBeep, [] { kvr::WriteAlarmBeep(!kvr::ReadAlarmBeep()); }, {},
        [] { return kvr::ReadAlarmBeep(); });
    actions_->SetFrameHandler(
        kToolbar, [this] { toolBar_->setVisible(toolBar_->isHidden()); }, {},
        [this] { return toolBar_ && !toolBar_->isHidden(); });
    actions_->SetFrameHandler(
        kStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); }, {},
        [this] { return !statusBar()->isHidden(); });
    // Arranging needs something to arrange.
    actions_->SetFrameHandler(
        kCascade, [this] { mdiArea_->cascadeSubWindows(); },
        [this] { return ActiveFrame() != nullptr; });
    actions_->SetFrameHandler(
        kTile, [this] { mdiArea_->tileSubWindows(); }, [this] { return ActiveFrame() != nullptr; });
}

void CMainFrame::BuildMenus() {
    for (const MenuNode& popup : MainMenu()) {
        QMenu* menu = BuildMenu(menuBar()->addMenu(popup.text), popup);
        if (popup.id == 0 && popup.children.front().id == cmd::kCascade) {
            windowMenu_ = menu;
            windowMenuFixedItems_ = static_cast<int>(menu->actions().size());
            connect(menu, &QMenu::aboutToShow, this, &CMainFrame::FillWindowMenu);
        }
    }
}

QMenu* CMainFrame::BuildMenu(QMenu* menu, const MenuNode& node) {
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    for (const MenuNode& child : node.children) {
        if (!child.children.empty()) {
            QMenu* submenu = BuildMenu(menu->addMenu(child.text), child);
            if (child.children.front().id == cmd::kCircleChartFirst) circleChartMenu_ = submenu;
        } else if (child.id == 0) {
            menu->addSeparator();
        } else {
            menu->addAction(actions_->Action(child.id));
        }
    }
    return menu;
}

void CMainFrame::HideMissingWindows() {
    for (const WindowCommand& command : WindowCommands())
        actions_->Action(command.id)->setVisible(HasChildFactory(command.kind));
    if (circleChartMenu_)
        circleChartMenu_->menuAction()->setVisible(HasChildFactory(ChildWindow::kCircleChart));
}

void CMainFrame::BuildToolBar() {
    toolBar_ = addToolBar(QStringLiteral("工具栏"));
    toolBar_->setObjectName(QStringLiteral("MainToolBar"));
    toolBar_->setIconSize(QSize(18, 18));
    for (int id : MainToolbarButtons()) {
        if (id == 0)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(actions_->Action(id));
    }
}

void CMainFrame::BuildStatusBar() {
    for (int pane = 0; pane < 6; ++pane) {
        auto* label = new CStatusPane(kPaneWidths[pane], pane != 0, statusBar());
        panes_[static_cast<std::size_t>(pane)] = label;
        statusBar()->addWidget(label, pane == 5 ? 1 : 0);
    }
    panes_[0]->setText(QString::fromUtf8(kIdleText));
}

void CMainFrame::SetStatusText(int pane, const QString& text) {
    if (pane < 0 || pane >= 6) return;
    panes_[static_cast<std::size_t>(pane)]->setText(text);
}

QString CMainFrame::StatusPaneText(int pane) const {
    if (pane < 0 || pane >= 6) return {};
    return panes_[static_cast<std::size_t>(pane)]->text();
}

CChildFrame* CMainFrame::ActiveFrame() const {
    // The current window, not only the active one: commands from the menu bar arrive
    // while the menu, not the child, has the focus.
    return qobject_cast<CChildFrame*>(mdiArea_->currentSubWindow());
}

QList<CChildFrame*> CMainFrame::Frames() const {
    QList<CChildFrame*> frames;
    for (QMdiSubWindow* window : mdiArea_->subWindowList(QMdiArea::CreationOrder))
        if (auto* frame = qobject_cast<CChildFrame*>(window)) frames << frame;
    return frames;
}

void CMainFrame::UpdateCommandStates() { actions_->UpdateStates(); }

void CMainFrame::OnSubWindowActivated() {
    if (CChildFrame* frame = ActiveFrame())
        if (auto* target = dynamic_cast<CommandTarget*>(frame->View())) target->OnActivated();
    UpdateTitle();
    UpdateCommandStates();
}

void CMainFrame::UpdateTitle() {
    // A maximised child has no title bar of its own: its title joins the program's.
    const CChildFrame* frame = ActiveFrame();
    const QString program = QString::fromUtf8(kProgramTitle);
    setWindowTitle(frame && frame->isMaximized()
                       ? QStringLiteral("%1 - [%2]").arg(program, frame->windowTitle())
                       : program);
}

void CMainFrame::OpenDataFile(const QString& path) {
    const QString extension = path.right(3).toUpper();
    const std::string localPath = QFile::encodeName(path).toStdString();
    if (extension == QLatin1String("FDZ")) {
        auto file = std::make_unique<kvr::CXFile>();
        const int result = file->Open(localPath);
        if (result == 1) {
            if (CChildFrame* frame = CreateHistoryFrame(HistoryTitle(path, file->IsDamaged()))) {
                SetHistoryFile(frame->View(), file.release());
                kvr::WriteLastDir(localPath);
            }
        } else if (result == 2) {
            ShowStopMessage(this, QStringLiteral("请用高版本软件打开该文件,如有疑问,请与厂家联系!"),
                            NoticeCaption());
        } else {
            ShowStopMessage(this, QStringLiteral("不支持的文件格式!"), NoticeCaption());
        }
    } else if (extension == QLatin1String("TMP")) {
        OpenLiveBuffer(path);
    } else if (extension == QLatin1String("ARF")) {
        // Report files that cannot be shown are passed over without a word.
        auto file = std::make_unique<kvr::CXFile>();
        if (file->Open(localPath) != 1) return;
        if (CChildFrame* frame = CreateReportFrame(path)) {
            SetReportFile(frame->View(), file.release());
            kvr::WriteLastDir(localPath);
        }
    } else {
        ShowPlainMessage(this, QStringLiteral("不支持的文件格式!"));
    }
}

// A collector's live buffer: shown like a history file, read-only, and followed while the
// collector records into it.
void CMainFrame::OpenLiveBuffer(const QString& path) {
    auto file = std::make_unique<kvr::CXFile>();
    if (file->OpenReadOnly(QFile::encodeName(path).toStdString()) != 1) {
        ShowStopMessage(this, QStringLiteral("不支持的文件格式!"), NoticeCaption());
        return;
    }
    // Between two files the collector's buffer holds no record yet; what its empty stamps
    // decode to is no time of this recording.
    if (!file->HoldsRecording()) {
        ShowPlainMessage(this, QString::fromUtf8(kNoRecordYetText));
        return;
    }
    const QString title = HistoryTitle(path, false);
    CChildFrame* frame = CreateHistoryFrame(title + QStringLiteral("（正在采集，只读）"));
    if (!frame) return;
    SetHistoryFile(frame->View(), file.release());
    QPointer<CChildFrame> guarded(frame);
    FollowHistoryFile(frame->View(), [this, guarded, title](bool recording) {
        if (!guarded) return;
        guarded->setWindowTitle(title + (recording ? QStringLiteral("（正在采集，只读）")
                                                   : QStringLiteral("（采集已结束）")));
        UpdateTitle();
    });
}

CChildFrame* CMainFrame::CreateHistoryFrame(const QString& title) {
    auto frame = std::make_unique<CChildFrame>();
    QWidget* view = CreateHistoryView(frame.get());
    if (!view) return nullptr;
    frame->Create(view, *actions_);
    frame->setWindowTitle(title);
    ShowChild(frame.get(), false);
    return frame.release();
}

CChildFrame* CMainFrame::CreateReportFrame(const QString& path) {
    auto frame = std::make_unique<CChildFrame>();
    QWidget* view = CreateReportView(frame.get());
    if (!view) return nullptr;
    frame->Create(view, *actions_);
    frame->setWindowTitle(ReportTitle(path));
    ShowChild(frame.get(), false);
    return frame.release();
}

void CMainFrame::ShowRealtimeWindow() {
    if (realtimeFrame_) {
        BringForward(realtimeFrame_);
        return;
    }
    auto frame = std::make_unique<CChildFrame>();
    frame->SetRealtime(true);
    frame->SetToolbarId(kRealtimeToolbarId);
    QWidget* view = CreateRealtimeView(frame.get());
    if (!view) return;
    frame->Create(view, *actions_);
    frame->setWindowTitle(QStringLiteral("实时数据采集"));
    realtimeFrame_ = frame.get();
    ShowChild(frame.release(), true);
}

void CMainFrame::ShowChild(CChildFrame* frame, bool maximized) {
    mdiArea_->addSubWindow(frame);
    connect(frame, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateTitle);
    if (maximized) {
        frame->showMaximized();
    } else {
        // New windows step down from the top left like a cascade, three quarters of the
        // client area in size.
        const QSize area = mdiArea_->viewport()->size();
        const int step = 24 * (childrenShown_ % 8);
        frame->setGeometry(step, step, std::max(area.width() * 3 / 4, frame->minimumWidth()),
                           std::max(area.height() * 3 / 4, frame->minimumHeight()));
        frame->show();
    }
    ++childrenShown_;
    mdiArea_->setActiveSubWindow(frame);
    OnSubWindowActivated();
}

QWidget* CMainFrame::ShowChildView(QWidget* view, const QString& title, bool maximized) {
    auto* frame = new CChildFrame;
    frame->Create(view, *actions_);
    frame->setWindowTitle(title);
    ShowChild(frame, maximized);
    return frame;
}

void CMainFrame::ActivateChildView(QWidget* view) {
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
        if (window->widget() != view && !window->isAncestorOf(view)) continue;
        BringForward(window);
        return;
    }
}

void CMainFrame::BringForward(QMdiSubWindow* window) {
    // Out of the minimised state only: a maximised window stays maximised, and a window
    // that has never been shown at its normal size must not shrink to its minimum.
    if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    mdiArea_->setActiveSubWindow(window);
}

QString CMainFrame::LastDir() const {
    return QFile::decodeName(QByteArray::fromStdString(kvr::ReadLastDir()));
}

void CMainFrame::HandOver() {
    showMaximized();
    raise();
    activateWindow();
    const QString path = QFile::decodeName(QByteArray::fromStdString(kvr::ReadLastDir()));
    // The default LastDir is the data folder itself, which is no file to open.
    if (QFileInfo(path).isDir()) return;
    OpenDataFile(path);
}

void CMainFrame::OnFileOpen() {
    // Report files are reached through "all files".
    const QString filter =
        QStringLiteral("流量仪表数据文件(*.%1);;采集中的缓冲文件(*.tmp);;所有文件(*.*)")
            .arg(QStringLiteral("FDZ"));
    QFileDialog dialog(this, QStringLiteral("Open"),
                       QFile::decodeName(QByteArray::fromStdString(kvr::ReadLastDir())), filter);
    UseProgramLocale(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("FDZ"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    OpenDataFile(dialog.selectedFiles().front());
}

void CMainFrame::OnDeviceConfiguration() {
    const QString program = QFile::decodeName(QByteArray::fromStdString(kvr::GetProgramFolder())) +
                            QStringLiteral("Box.exe");
    if (QFileInfo(program).isFile() && QProcess::startDetached(program, {})) return;
    ShowMessageBox({this, QStringLiteral("没有安装设备组态程序：\n%1").arg(program),
                    NoticeCaption(), QMessageBox::Information, QMessageBox::Ok});
}

void CMainFrame::FillWindowMenu() {
    const QList<QAction*> items = windowMenu_->actions();
    for (int i = windowMenuFixedItems_; i < items.size(); ++i) {
        windowMenu_->removeAction(items[i]);
        if (items[i]->parent() == windowMenu_) delete items[i];
    }
    const QList<CChildFrame*> frames = Frames();
    if (frames.isEmpty()) return;
    windowMenu_->addSeparator();
    int number = 0;
    for (CChildFrame* frame : frames) {
        ++number;
        QAction* item =
            windowMenu_->addAction(QStringLiteral("&%1 %2").arg(number).arg(frame->windowTitle()));
        item->setCheckable(true);
        item->setChecked(frame == ActiveFrame());
        QPointer<CChildFrame> target = frame;
        connect(item, &QAction::triggered, this, [this, target] {
            if (target) mdiArea_->setActiveSubWindow(target);
        });
    }
}

void CMainFrame::FillCircleChartMenu(const QStringList& channelNames) {
    circleChartMenu_->clear();
    const int count =
        std::min<int>(channelNames.size(), cmd::kCircleChartLast - cmd::kCircleChartFirst + 1);
    if (count == 0) {
        QAction* none = actions_->Action(cmd::kCircleChartFirst);
        none->setText(CommandText(cmd::kCircleChartFirst));
        circleChartMenu_->addAction(none);
    }
    for (int i = 0; i < count; ++i) {
        QAction* item = actions_->Action(cmd::kCircleChartFirst + i);
        item->setText(channelNames[i]);
        circleChartMenu_->addAction(item);
    }
    UpdateCommandStates();
}

bool CMainFrame::event(QEvent* event) {
    // Prompts go to the first pane only, so the view's panes stay readable meanwhile.
    if (event->type() == QEvent::StatusTip) {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        panes_[0]->setText(tip.isEmpty() ? QString::fromUtf8(kIdleText) : tip);
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (realtimeFrame_ && !realtimeFrame_->QueryCloseRealtime()) {
        event->ignore();
        return;
    }
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    event->acceptProposedAction();
    for (const QUrl& url : urls)
        if (url.isLocalFile()) OpenDataFile(url.toLocalFile());
}
