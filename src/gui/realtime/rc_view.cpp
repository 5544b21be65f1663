#include "gui/realtime/rc_view.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressDialog>
#include <thread>

#include "core/datafile/program.h"
#include "core/link/link_texts.h"
#include "core/link/live_recovery.h"
#include "core/settings/display_defaults.h"
#include "core/settings/last_dir.h"
#include "gui/common/message_box.h"
#include "gui/common/system_colors.h"
#include "gui/curves/channel_panel.h"
#include "gui/curves/file_status.h"
#include "gui/curves/span_panel.h"
#include "gui/curves/time_scroll_bar.h"
#include "gui/lists/list_view.h"
#include "gui/realtime/alarm_window.h"
#include "gui/realtime/real_curve_ctrl.h"
#include "gui/settings/cxcom.h"
#include "gui/settings/cxviewdef.h"
#include "widgets/file_dialog_locale.h"

namespace {

std::string& PortOverride() {
    static std::string device;
    return device;
}

CRCView::SavePathHook& SavePath() {
    static CRCView::SavePathHook hook;
    return hook;
}

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

constexpr char kNoDataNotice[] = "未开始采集";

// Hands the configuration read's progress to the dialog on the window's thread.
class ProgressRelay : public kvr::LinkProgress {
public:
    explicit ProgressRelay(QProgressDialog* dialog) : dialog_(dialog) {}
    void SetRange(int low, int high) override {
        QMetaObject::invokeMethod(
            dialog_, [d = dialog_, low, high] { d->setRange(low, high); }, Qt::QueuedConnection);
    }
    void SetPosition(int position) override {
        QMetaObject::invokeMethod(
            dialog_, [d = dialog_, position] { d->setValue(position); }, Qt::QueuedConnection);
    }
    void SetText(const std::string& text) override {
        const QString label = QString::fromStdString(text);
        QMetaObject::invokeMethod(
            dialog_, [d = dialog_, label] { d->setLabelText(label); }, Qt::QueuedConnection);
    }

private:
    QProgressDialog* dialog_;
};

// The child window around a view: the MDI frame when there is one.
void CloseWindowOf(QWidget* view) {
    if (!view) return;
    for (QWidget* w = view; w; w = w->parentWidget())
        if (auto* frame = qobject_cast<QMdiSubWindow*>(w)) {
            frame->close();
            return;
        }
    view->close();
}

}  // namespace

CRCView::CRCView(QWidget* parent) : QWidget(parent) {
    curve_ = new CXRealCurveCtrl(this);
    parts_.Create(this, curve_);
    parts_.scrollBar->SetFixedWidth(true);
    setFocusProxy(curve_);
    connect(curve_, &CXCurveCtrl::plotRightButtonReleased, this, &CRCView::ShowContextMenu);
    connect(&recordTimer_, &QTimer::timeout, this, &CRCView::RecordTimerTick);
    RegisterCommands();
    parts_.RegisterDisplayCommands(
        *this, [this] { return fileBound_ ? &engine_.File() : nullptr; }, this);
    span_ = new CSpanPanel(curve_, this);
    span_->RegisterToggle(*this);
    ShowNoData();
}

CRCView::~CRCView() {
    recordTimer_.stop();
    // The windows that follow the live file go before it does.
    CloseWindowOf(listWindow_);
    CloseWindowOf(barWindow_);
    CloseWindowOf(dialWindow_);
    delete alarmWindow_;
    curve_->SetFile(nullptr);
    parts_.panel->SetFile(nullptr);
}

void CRCView::SetPortOverride(const std::string& device) { PortOverride() = device; }

void CRCView::SetSavePathHook(SavePathHook hook) { SavePath() = std::move(hook); }

// ---------------------------------------------------------------------------------------
// Start

void CRCView::StartAcquisition() {
    if (busy_ || engine_.IsAcquiring() || engine_.Link().IsConnected()) return;
    if (!AskAboutUnsavedData() || !OfferRecovery()) return;
    kvr::ComParam param;
    CXCom().GetComm(&param);
    if (!PortOverride().empty()) param.device = PortOverride();
    kvr::ViewDef view;
    CXViewDef().GetView(&view);
    engine_.SetParams(param);
    engine_.SetViewDef(view);

    // The file is rebuilt on another thread: nothing may draw from it meanwhile. The data
    // of the last run is gone from here on, so it leaves the screen too.
    CloseWindowOf(listWindow_);
    CloseWindowOf(barWindow_);
    CloseWindowOf(dialWindow_);
    ShowNoData();
    curve_->RedrawAll();
    update();
    if (!ReadConfiguration()) return;

    kvr::StartResult polled;
    SetStatusText(1, Text(kvr::texts::kWaitingForInstrument));
    RunResponsive([&] { polled = engine_.BeginPolling(); });
    if (polled.status != kvr::StartStatus::kStarted) {
        ShowStopMessage(this, QString::fromStdString(polled.message), NoticeCaption());
        return;
    }
    BindFile();
    // Every new acquisition starts with the recorded time filling the plot.
    curve_->SetAutoScale(true);
    alarmWatch_.Begin(engine_.File());
    recordTimer_.start(engine_.File().GetInterval() * 1000);
    curve_->StartScrolling();
    NotifyRecord();
}

bool CRCView::AskAboutUnsavedData() {
    if (engine_.IsSaved()) return true;
    const auto answer = ShowMessageBox({this, Text(kvr::texts::kUnsavedRealtimeData),
                                        NoticeCaption(), QMessageBox::Information,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel});
    if (answer == QMessageBox::Yes) return ChooseAndSave();
    return answer == QMessageBox::No;
}

bool CRCView::OfferRecovery() {
    // Only a buffer this window does not hold itself can be left over from a crash.
    if (engine_.File().IsOpen()) return true;
    const std::string temp = kvr::GetProgramFolder() + "temp.tmp";
    const auto unsaved = kvr::FindUnsavedRecords(temp);
    if (!unsaved) return true;
    MessageBoxRequest request{this,
                              QString::asprintf(kvr::texts::kRecoverQuestion, unsaved->count,
                                                kvr::FormatTime(unsaved->start).c_str(),
                                                kvr::FormatTime(unsaved->end).c_str()),
                              NoticeCaption(), QMessageBox::Question,
                              QMessageBox::Yes | QMessageBox::No};
    if (ShowMessageBox(request, Text(kvr::texts::kRecoverButton),
                       Text(kvr::texts::kDiscardButton)) != QMessageBox::Yes)
        return true;
    const QString chosen = AskSavePath();
    // No name: the buffer stays, and so does the offer.
    if (chosen.isEmpty()) return false;
    kvr::WriteLastDir(chosen.toStdString());
    if (kvr::RecoverLiveBuffer(temp, chosen.toStdString()).status != kvr::RecoverStatus::kSaved) {
        ShowStopMessage(this, Text(kvr::texts::kSaveFileFailed), NoticeCaption());
        return false;
    }
    return true;
}

bool CRCView::ReadConfiguration() {
    QProgressDialog dialog(Text(kvr::texts::kReadingConfiguration), QStringLiteral("取消"), 0, 32,
                           this);
    dialog.setWindowTitle(QStringLiteral("实时数据采集"));
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    std::atomic<bool> cancel{false};
    connect(&dialog, &QProgressDialog::canceled, this, [&cancel] { cancel = true; });
    ProgressRelay relay(&dialog);
    dialog.show();
    kvr::StartResult result;
    RunResponsive([&] { result = engine_.ReadConfiguration(&relay, cancel); });
    dialog.hide();
    if (result.status == kvr::StartStatus::kFailed)
        ShowStopMessage(this, QString::fromStdString(result.message), NoticeCaption());
    return result.status == kvr::StartStatus::kStarted;
}

void CRCView::ShowNoData() {
    curve_->SetFile(nullptr);
    parts_.panel->SetFile(nullptr);
    fileBound_ = false;
    if (parts_.panelShown) parts_.panel->RebuildControls();
    // The axes a new acquisition would start with.
    kvr::ViewDef view;
    CXViewDef().GetView(&view);
    kvr::FileHeader display{};
    kvr::ApplyDisplayDefaults(view, display);
    curve_->SetEmptyDisplay(display, Text(kNoDataNotice));
}

void CRCView::BindFile() {
    kvr::CXFile* file = &engine_.File();
    curve_->SetFile(file);
    parts_.panel->SetFile(file);
    parts_.scrollBar->SetTarget(curve_);
    curve_->ApplyFileSettings();
    curve_->SetScrollBar(parts_.scrollBar);
    parts_.panel->SetTarget(curve_);
    fileBound_ = true;
    parts_.page = 0;
    if (parts_.panelShown) parts_.panel->RebuildControls();
    LayoutChildren();
}

void CRCView::RunResponsive(const std::function<void()>& work) {
    busy_ = true;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    QEventLoop loop;
    std::thread worker([&] {
        work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    QApplication::restoreOverrideCursor();
    busy_ = false;
}

// ---------------------------------------------------------------------------------------
// Records, stop and save

void CRCView::RecordTimerTick() {
    if (!engine_.IsAcquiring()) return;
    if (!engine_.CommunicationOk()) {
        StopNow();
        ShowStopMessage(this, Text(kvr::texts::kAcquisitionLost), NoticeCaption());
        return;
    }
    const kvr::TickResult tick = engine_.RecordTick();
    if (tick.index >= 0) NotifyRecord();
    if (tick.status == kvr::TickStatus::kRecorded || tick.status == kvr::TickStatus::kIdle) return;
    AfterStop();
    const bool full = tick.status == kvr::TickStatus::kFileFull;
    ShowMessageBox({this, QString::fromStdString(tick.message), NoticeCaption(),
                    full ? QMessageBox::Information : QMessageBox::Critical, QMessageBox::Ok});
}

void CRCView::NotifyRecord() {
    const kvr::CXFile& file = engine_.File();
    curve_->recordAppended(file.GetStartTime(), file.GetEndTime());
    alarmWatch_.CatchUp(file);
    parts_.panel->SetAlarms(alarmWatch_.ActiveTexts());
    UpdateStatusBar();
    if (list_) list_->recordAppended();
    emit recordAppended();
}

void CRCView::StopWithQuestion() {
    const auto answer = ShowMessageBox({this, Text(kvr::texts::kConfirmStop), NoticeCaption(),
                                        QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
    if (answer == QMessageBox::Yes) StopNow();
}

void CRCView::StopAcquisition() { StopNow(); }

void CRCView::StopNow() {
    if (!engine_.IsAcquiring()) return;
    recordTimer_.stop();
    curve_->StopScrolling();
    engine_.EndRecording();
    std::string message;
    RunResponsive([&] { message = engine_.EndPolling(); });
    AfterStop();
    if (!message.empty()) ShowStopMessage(this, QString::fromStdString(message), NoticeCaption());
}

void CRCView::AfterStop() {
    recordTimer_.stop();
    curve_->StopScrolling();
    UpdateStatusBar();
    emit acquisitionStopped();
}

bool CRCView::SaveRealtimeFile() {
    if (engine_.IsAcquiring()) {
        const auto answer =
            ShowMessageBox({this, Text(kvr::texts::kStopBeforeSave), NoticeCaption(),
                            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No});
        if (answer != QMessageBox::Yes) return false;
        StopNow();
    }
    return ChooseAndSave();
}

QString CRCView::AskSavePath() {
    if (SavePath()) return SavePath()();
    QFileDialog dialog(this, QStringLiteral("Save as"), QString::fromStdString(kvr::ReadLastDir()),
                       QStringLiteral("流量仪表数据文件(*.FDZ);;所有文件(*.*)"));
    UseProgramLocale(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("FDZ"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

bool CRCView::ChooseAndSave() {
    const QString path = AskSavePath();
    if (path.isEmpty()) return false;
    kvr::WriteLastDir(path.toStdString());
    if (!engine_.Save(path.toStdString())) {
        ShowStopMessage(this, Text(kvr::texts::kSaveFileFailed), NoticeCaption());
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Layout and status

void CRCView::LayoutChildren() { parts_.Layout(); }

void CRCView::resizeEvent(QResizeEvent*) { LayoutChildren(); }

void CRCView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ButtonFaceColor());
}

void CRCView::OnActivated() { UpdateStatusBar(); }

void CRCView::UpdateStatusBar() {
    if (!fileBound_) return;
    const kvr::CXFile& file = engine_.File();
    ShowFileStatus(file, file.GetEndTime() - file.GetStartTime(), alarmWatch_.StatusText());
}

void CRCView::ListClosed(QWidget* list) {
    if (list_ == list) list_ = nullptr;
}

void CRCView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) ShowContextMenu(event->globalPosition().toPoint());
}
