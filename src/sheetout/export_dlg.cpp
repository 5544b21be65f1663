#include "sheetout/export_dlg.h"

#include <QDateEdit>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/datafile/cxfile.h"
#include "core/settings/last_dir.h"
#include "widgets/file_dialog_locale.h"

namespace {

struct DialogTexts {
    const char* title;
    const char* group;
    const char* start;
    const char* end;
    const char* interval;
    const char* intervalUnit;
    const char* exportButton;
    const char* cancelButton;
    const char* progress;  // rows written, rows in all, time left
};

constexpr DialogTexts kChinese = {"Excel 数据导出", "时间设置",  "开始时间：",
                                  "结束时间：",     "间    隔:", "记录间隔",
                                  "导出",           "取消",      "已写 %1 / %2 行，剩余约 %3"};
constexpr DialogTexts kEnglish = {"Excel Export",
                                  "Time Setting",
                                  "Start Time:",
                                  "End Time:",
                                  "The intervening time:",
                                  "interval",
                                  "Export",
                                  "Cancel",
                                  "%1 / %2 rows written, about %3 left"};

const DialogTexts& DialogTextsFor(kvr::Language language) {
    return language == kvr::Language::kEnglish ? kEnglish : kChinese;
}

QString Utf8(const char* text) { return QString::fromUtf8(text); }

QString Duration(double seconds) {
    const auto whole = static_cast<long long>(seconds + 0.5);
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600, 2, 10, QLatin1Char('0'))
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

}  // namespace

CXExportDlg::CXExportDlg(kvr::Language language, QWidget* parent)
    : QDialog(parent), language_(language) {
    BuildLayout();
    connect(resetStart_, &QPushButton::clicked, this, [this] {
        if (file_ != nullptr) start_.Set(file_->GetStartTime());
    });
    connect(resetEnd_, &QPushButton::clicked, this, [this] {
        if (file_ != nullptr) end_.Set(file_->GetSpanEndTime());
    });
    connect(exportButton_, &QPushButton::clicked, this, &CXExportDlg::OnExport);
    connect(cancelButton_, &QPushButton::clicked, &worker_, &CXExportWorker::RequestStop);
    connect(&worker_, &CXExportWorker::progressed, this, &CXExportDlg::OnProgress,
            Qt::QueuedConnection);
    connect(&worker_, &CXExportWorker::finished, this, &CXExportDlg::OnFinished,
            Qt::QueuedConnection);
}

CXExportDlg::~CXExportDlg() { worker_.StopAndWait(); }

void CXExportDlg::BuildLayout() {
    const DialogTexts& texts = DialogTextsFor(language_);
    setWindowTitle(Utf8(texts.title));
    auto* group = new QGroupBox(Utf8(texts.group), this);
    auto* grid = new QGridLayout(group);
    start_ = DateTimePickers::Create(group, "start");
    end_ = DateTimePickers::Create(group, "end");
    resetStart_ = new QPushButton(QStringLiteral("|<-"), group);
    resetStart_->setObjectName(QStringLiteral("resetStart"));
    resetEnd_ = new QPushButton(QStringLiteral("->|"), group);
    resetEnd_->setObjectName(QStringLiteral("resetEnd"));
    grid->addWidget(new QLabel(Utf8(texts.start), group), 0, 0);
    grid->addWidget(start_.date, 0, 1);
    grid->addWidget(start_.time, 0, 2);
    grid->addWidget(resetStart_, 0, 3);
    grid->addWidget(new QLabel(Utf8(texts.end), group), 1, 0);
    grid->addWidget(end_.date, 1, 1);
    grid->addWidget(end_.time, 1, 2);
    grid->addWidget(resetEnd_, 1, 3);
    rangeText_ = new QLabel(group);
    rangeText_->setObjectName(QStringLiteral("rangeText"));
    grid->addWidget(rangeText_, 2, 0, 1, 4);
    interval_ = new QLineEdit(QStringLiteral("1"), group);
    interval_->setObjectName(QStringLiteral("interval"));
    grid->addWidget(new QLabel(Utf8(texts.interval), group), 3, 0);
    grid->addWidget(interval_, 3, 1);
    grid->addWidget(new QLabel(Utf8(texts.intervalUnit), group), 3, 2);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 1);
    progress_->setValue(0);
    progressText_ = new QLabel(this);
    progressText_->setObjectName(QStringLiteral("progressText"));
    exportButton_ = new QPushButton(Utf8(texts.exportButton), this);
    exportButton_->setObjectName(QStringLiteral("exportButton"));
    exportButton_->setDefault(true);
    cancelButton_ = new QPushButton(Utf8(texts.cancelButton), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(exportButton_);
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(progress_);
    layout->addWidget(progressText_);
    layout->addLayout(buttons);
}

void CXExportDlg::Bind(kvr::CXFile* file) {
    file_ = file;
    if (file_ == nullptr) return;
    const kvr::Time first = file_->GetStartTime();
    const kvr::Time last = file_->GetSpanEndTime();
    start_.Set(first);
    end_.Set(last);
    rangeText_->setText(Utf8(kvr::TextsFor(language_).rangePrefix) +
                        QString::fromStdString(kvr::FormatTime(first)) +
                        QStringLiteral("\n          ") +
                        QString::fromStdString(kvr::FormatTime(last)));
}

void CXExportDlg::SetRange(kvr::Time start, kvr::Time end) {
    start_.Set(start);
    end_.Set(end);
}

void CXExportDlg::OnExport() {
    if (file_ == nullptr || worker_.IsRunning()) return;
    bool isNumber = false;
    const qlonglong every = interval_->text().trimmed().toLongLong(&isNumber);
    const kvr::ExportPlanResult plan =
        kvr::MakeExportPlan(*file_, start_.Get(), end_.Get(), isNumber ? every : 0, language_);
    if (!plan.plan) {
        ShowMessage(QMessageBox::NoIcon, QString::fromStdString(plan.message));
        return;
    }
    const QString target = chooser_ ? chooser_() : AskTarget();
    if (target.isEmpty()) return;
    exportButton_->setEnabled(false);
    const qint64 rows = plan.plan->rowCount;
    progress_->setRange(0,
                        static_cast<int>(std::min<qint64>(rows, std::numeric_limits<int>::max())));
    progress_->setValue(0);
    progressText_->clear();
    worker_.Start(*file_, *plan.plan, language_, target.toStdString());
}

QString CXExportDlg::AskTarget() {
    // The setting names the last file as often as its folder.
    QString dir = QString::fromStdString(kvr::ReadLastDir());
    if (!QFileInfo(dir).isDir()) dir = QFileInfo(dir).path();
    const QString workbook = QStringLiteral("Microsoft Excel Sheet(*.xlsx)");
    const QString csv = QStringLiteral("CSV UTF-8(*.csv)");
    QFileDialog dialog(this, QStringLiteral("Excel Export"),
                       dir + QStringLiteral("/Untitled1.xlsx"),
                       workbook + QStringLiteral(";;") + csv);
    UseProgramLocale(dialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(QStringLiteral("xlsx"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& filter) {
        dialog.setDefaultSuffix(filter == csv ? QStringLiteral("csv") : QStringLiteral("xlsx"));
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
}

void CXExportDlg::OnProgress(qint64 rowsWritten, qint64 rowCount, double remainingSeconds) {
    if (!worker_.IsRunning()) return;  // a late report of a stopped export
    progress_->setValue(static_cast<int>(std::min<qint64>(rowsWritten, progress_->maximum())));
    progressText_->setText(Utf8(DialogTextsFor(language_).progress)
                               .arg(rowsWritten)
                               .arg(rowCount)
                               .arg(Duration(remainingSeconds)));
}

void CXExportDlg::OnFinished(int outcome, const QString& message) {
    worker_.StopAndWait();
    exportButton_->setEnabled(true);
    switch (static_cast<kvr::ExportOutcome>(outcome)) {
        case kvr::ExportOutcome::kFinished:
            progress_->setValue(progress_->maximum());
            ShowMessage(QMessageBox::Information, message);
            break;
        case kvr::ExportOutcome::kCancelled:
            progress_->setValue(0);
            progressText_->clear();
            break;
        case kvr::ExportOutcome::kCannotCreate:
            progress_->setValue(0);
            ShowMessage(QMessageBox::NoIcon, message);
            break;
        case kvr::ExportOutcome::kWriteFailed:
            progress_->setValue(0);
            progressText_->clear();
            ShowMessage(QMessageBox::Critical, message);
            break;
    }
}

void CXExportDlg::ShowMessage(int icon, const QString& text) {
    QMessageBox box(static_cast<QMessageBox::Icon>(icon), Utf8(kvr::TextsFor(language_).caption),
                    text, QMessageBox::Ok, this);
    box.exec();
}

void CXExportDlg::done(int result) {
    // Closing while rows are written: stop, wait, and let the worker delete its file.
    worker_.StopAndWait();
    QDialog::done(result);
}
