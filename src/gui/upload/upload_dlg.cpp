#include "gui/upload/upload_dlg.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include "core/link/link_texts.h"
#include "gui/common/message_box.h"
#include "gui/upload/upload_relay.h"
#include "widgets/file_dialog_locale.h"

namespace {

// The instrument needs a moment after the window appears before it is asked anything.
constexpr int kFirstScanDelayMs = 800;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

CUploadDlg::CUploadDlg(const kvr::ComParam& param, const kvr::ViewDef& view, const QString& lastDir,
                       QWidget* parent)
    : QDialog(parent), lastDir_(lastDir), chooseSaveName_(ChooseUploadFileName) {
    setWindowTitle(Text("串口上传数据"));
    session_.SetParams(param);
    session_.SetViewDef(view);
    relay_ = new UploadRelay(this);
    BuildControls();
    ConnectRelay();

    rangeText_->setText(Text(kvr::texts::kReadingTimeParameters));
    cancel_->setEnabled(false);
    QTimer::singleShot(kFirstScanDelayMs, this, &CUploadDlg::OnRefresh);
}

CUploadDlg::~CUploadDlg() {
    // The threads must be gone before the file, link and relay they use.
    JoinLinkStep();
    session_.Cancel();
    session_.Wait();
}

template <typename Work, typename Done>
void CUploadDlg::RunLinkStep(Work work, Done done) {
    JoinLinkStep();
    busy_ = true;
    upload_->setEnabled(false);
    refresh_->setEnabled(false);
    linkStep_ = std::thread([this, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        // Dropped unposted if the dialog is gone; the destructor waits for this thread.
        QMetaObject::invokeMethod(
            this,
            [this, result = std::move(result), done = std::move(done)]() mutable {
                JoinLinkStep();
                busy_ = false;
                done(result);
            },
            Qt::QueuedConnection);
    });
}

void CUploadDlg::JoinLinkStep() {
    if (linkStep_.joinable()) linkStep_.join();
}

void CUploadDlg::BuildControls() {
    rangeText_ = new QLabel(this);
    rangeText_->setObjectName(QStringLiteral("rangeText"));
    rangeText_->setMinimumWidth(360);
    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(new QLabel(Text("时间范围: "), this));
    rangeRow->addWidget(rangeText_, 1);

    auto* group = new QGroupBox(Text("时间段设置"), this);
    auto* grid = new QGridLayout(group);
    start_ = DateTimePickers::Create(group, "start");
    end_ = DateTimePickers::Create(group, "end");
    grid->addWidget(new QLabel(Text("开始时间："), group), 0, 0);
    grid->addWidget(start_.date, 0, 1);
    grid->addWidget(start_.time, 0, 2);
    grid->addWidget(new QLabel(Text("结束时间："), group), 1, 0);
    grid->addWidget(end_.date, 1, 1);
    grid->addWidget(end_.time, 1, 2);
    uploadAll_ = new QCheckBox(Text("上传所有数据"), group);
    uploadAll_->setObjectName(QStringLiteral("uploadAll"));
    grid->addWidget(uploadAll_, 2, 0, 1, 3);
    // Files in the upload layouts are written for other programs and cannot be opened here,
    // so the choice to open one is never offered; the finish notice says where it went.
    openFile_ = new QCheckBox(Text("打开上传文件"), group);
    openFile_->setObjectName(QStringLiteral("openFile"));
    openFile_->setChecked(true);
    openFile_->setVisible(false);
    grid->addWidget(openFile_, 3, 0, 1, 3);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    progress_->setTextVisible(false);
    remainingText_ = new QLabel(Text(kvr::texts::kRemainingTime), this);
    remainingText_->setObjectName(QStringLiteral("remainingText"));

    upload_ = new QPushButton(Text("上传"), this);
    upload_->setObjectName(QStringLiteral("uploadButton"));
    upload_->setDefault(true);
    cancel_ = new QPushButton(Text("取消"), this);
    cancel_->setObjectName(QStringLiteral("cancelButton"));
    cancel_->setAutoDefault(false);
    refresh_ = new QPushButton(Text("刷新"), this);
    refresh_->setObjectName(QStringLiteral("refreshButton"));
    refresh_->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(upload_);
    buttons->addWidget(cancel_);
    buttons->addWidget(refresh_);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(rangeRow);
    layout->addWidget(group);
    layout->addWidget(progress_);
    layout->addWidget(remainingText_);
    layout->addLayout(buttons);

    connect(upload_, &QPushButton::clicked, this, &CUploadDlg::OnUpload);
    connect(cancel_, &QPushButton::clicked, this, &CUploadDlg::OnCancel);
    connect(refresh_, &QPushButton::clicked, this, &CUploadDlg::OnRefresh);
    connect(uploadAll_, &QCheckBox::toggled, this, &CUploadDlg::OnUploadAll);
}

void CUploadDlg::ConnectRelay() {
    connect(
        relay_, &UploadRelay::progressRange, progress_,
        [this](int high) { progress_->setRange(0, high); }, Qt::QueuedConnection);
    connect(relay_, &UploadRelay::progress, progress_, &QProgressBar::setValue,
            Qt::QueuedConnection);
    connect(relay_, &UploadRelay::remainingText, this, &CUploadDlg::OnRemainingText,
            Qt::QueuedConnection);
    connect(relay_, &UploadRelay::stepText, remainingText_, &QLabel::setText, Qt::QueuedConnection);
    connect(relay_, &UploadRelay::finished, this, &CUploadDlg::OnFinished, Qt::QueuedConnection);
}

void CUploadDlg::closeEvent(QCloseEvent* event) {
    // The worker owns the file and the link until it has ended.
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CUploadDlg::reject() {
    if (!busy_) QDialog::reject();
}

void CUploadDlg::OnRefresh() {
    if (busy_) return;
    RunLinkStep([this] { return session_.Scan(); },
                [this](const kvr::ScanResult& scan) {
                    SetIdleButtons();
                    ShowScan(scan);
                    if (!scan.message.empty()) Notify(QString::fromStdString(scan.message), true);
                });
}

void CUploadDlg::ShowScan(const kvr::ScanResult& scan) {
    rangeText_->setText(QString::fromStdString(scan.rangeText));
    if (!scan.timeParameters) return;
    start_.Set(scan.pickerStart);
    end_.Set(scan.pickerEnd);
}

void CUploadDlg::OnUploadAll(bool checked) {
    start_.SetEnabled(!checked);
    end_.SetEnabled(!checked);
}

void CUploadDlg::OnUpload() {
    if (busy_) return;
    const bool scanned = session_.LastScan().timeParameters;
    const kvr::UploadChoice choice{uploadAll_->isChecked(), start_.Get(), end_.Get()};
    RunLinkStep([this, choice] { return session_.Prepare(choice); },
                [this, scanned](const kvr::PreparedRange& range) { OnPrepared(range, scanned); });
}

void CUploadDlg::OnPrepared(const kvr::PreparedRange& range, bool scannedBefore) {
    if (!scannedBefore) ShowScan(session_.LastScan());
    if (!range.ok) {
        // Upload stays usable: a failed address read or a refused range is answered by a
        // message, and the next press tries again.
        SetIdleButtons();
        const bool communication = range.message == kvr::texts::kCommunicationFailed;
        Notify(QString::fromStdString(range.message), !communication);
        return;
    }
    const QString path = chooseSaveName_(this, ProposedPath());
    if (path.isEmpty()) {
        SetIdleButtons();
        return;
    }
    StartUpload(path);
}

QString CUploadDlg::ProposedPath() const {
    QString dir = lastDir_;
    const QFileInfo info(dir);
    if (!dir.isEmpty() && !info.isDir()) dir = info.path();
    const QString name = QString::fromStdString(session_.ProposedFileName());
    return dir.isEmpty() ? name : QDir(dir).filePath(name);
}

void CUploadDlg::StartUpload(const QString& path) {
    // Nothing of the previous run may pass for this one's progress.
    ResetProgress();
    const std::string file = QFile::encodeName(path).toStdString();
    RunLinkStep(
        [this, file] {
            std::string message;
            const bool configured = session_.ReadConfiguration(file, relay_, &message) == 1;
            return std::make_pair(configured, message);
        },
        [this](const std::pair<bool, std::string>& result) {
            EndUploadStart(result.first, result.second);
        });
}

void CUploadDlg::EndUploadStart(bool configured, const std::string& readMessage) {
    std::string message = readMessage;
    if (configured && session_.Start(*relay_, &message)) {
        // Busy until the worker's end has been shown.
        busy_ = true;
        cancel_->setEnabled(true);
        return;
    }
    SetIdleButtons();
    ResetProgress();
    Notify(QString::fromStdString(message), true);
}

void CUploadDlg::OnCancel() {
    if (!busy_) return;
    session_.Cancel();
    cancel_->setEnabled(false);
}

void CUploadDlg::OnRemainingText(const QString& text) {
    remainingText_->setText(text.isEmpty() ? Text(kvr::texts::kRemainingTime) : text);
}

void CUploadDlg::OnFinished(int status, const QString& message, const QString& path) {
    session_.Wait();
    busy_ = false;
    SetIdleButtons();
    switch (static_cast<kvr::UploadOutcome::Status>(status)) {
        case kvr::UploadOutcome::kCompleted:
            Notify(message + Text("\n保存位置:") + QDir::toNativeSeparators(path), false);
            break;
        case kvr::UploadOutcome::kFailed: Notify(message, false); break;
        case kvr::UploadOutcome::kCancelled:
            // The user asked for it: nothing to say, and nothing of the run stays behind.
            ResetProgress();
            break;
    }
}

void CUploadDlg::ResetProgress() {
    progress_->setRange(0, 100);
    progress_->setValue(0);
    remainingText_->setText(Text(kvr::texts::kRemainingTime));
}

void CUploadDlg::SetIdleButtons() {
    upload_->setEnabled(true);
    cancel_->setEnabled(false);
    refresh_->setEnabled(true);
}

void CUploadDlg::Notify(const QString& text, bool stop) {
    ShowMessageBox({this, text, NoticeCaption(),
                    stop ? QMessageBox::Critical : QMessageBox::Information, QMessageBox::Ok});
}

QString ChooseUploadFileName(QWidget* parent, const QString& proposedPath) {
    const QString filter = Text("流量仪表数据文件(*.%1);;所有文件(*.*)").arg(QStringLiteral("FDZ"));
    QFileDialog dialog(parent, QStringLiteral("Save File"), proposedPath, filter);
    UseProgramLocale(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("FDZ"));
    dialog.selectFile(QFileInfo(proposedPath).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}
