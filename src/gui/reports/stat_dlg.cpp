#include "gui/reports/stat_dlg.h"

#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/analysis/cumulative_report.h"
#include "core/analysis/table_workbook.h"
#include "core/view/channel_text.h"
#include "gui/common/message_box.h"
#include "gui/reports/text_table.h"
#include "gui/reports/workbook_path.h"

namespace {

constexpr kvr::Time kProposedSpan = 3600;

QPushButton* Button(QWidget* parent, const QString& text, const char* name) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

}  // namespace

CXStatDlg::CXStatDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("statDlg"));
    setWindowTitle(QStringLiteral("峰值、谷值、均值统计"));
    timeRange_ = new QLabel(this);
    timeRange_->setObjectName(QStringLiteral("timeRange"));
    start_ = DateTimePickers::Create(this, "start");
    end_ = DateTimePickers::Create(this, "end");
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("progress"));
    progress_->setRange(0, 100);
    progress_->setValue(0);
    list_ = CreateTextTable(this, QStringLiteral("statList"));
    SetTextColumns(list_, {{QStringLiteral("序号"), 42},
                           {QStringLiteral("通道"), 100},
                           {QStringLiteral("峰值"), 60},
                           {QStringLiteral("谷值"), 60},
                           {QStringLiteral("均值"), 60},
                           {QStringLiteral("均匀性"), 60}});
    compute_ = Button(this, QStringLiteral("统计"), "computeButton");
    auto* copy = Button(this, QStringLiteral("复制全部"), "copyButton");
    auto* save = Button(this, QStringLiteral("另存为..."), "saveButton");
    auto* close = Button(this, QStringLiteral("关闭"), "closeButton");
    connect(compute_, &QPushButton::clicked, this, &CXStatDlg::Compute);
    connect(copy, &QPushButton::clicked, this, &CXStatDlg::CopyAll);
    connect(save, &QPushButton::clicked, this, &CXStatDlg::SaveAs);
    connect(close, &QPushButton::clicked, this, &CXStatDlg::reject);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("时间范围："), this), 0, 0, Qt::AlignTop);
    form->addWidget(timeRange_, 0, 1, 1, 2);
    form->addWidget(new QLabel(QStringLiteral("开始时间："), this), 1, 0);
    form->addWidget(start_.date, 1, 1);
    form->addWidget(start_.time, 1, 2);
    form->addWidget(compute_, 1, 3);
    form->addWidget(new QLabel(QStringLiteral("结束时间："), this), 2, 0);
    form->addWidget(end_.date, 2, 1);
    form->addWidget(end_.time, 2, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(copy);
    buttons->addWidget(save);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(progress_);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    resize(420, 400);
}

void CXStatDlg::SetFile(const kvr::CXFile* file) {
    file_ = file;
    if (!file_) return;
    timeRange_->setText(
        QString::fromStdString(kvr::TimeRangeText(file_->GetStartTime(), file_->GetSpanEndTime())));
    SetPeriod(file_->GetSpanEndTime() - kProposedSpan, file_->GetSpanEndTime());
    std::vector<std::vector<std::string>> rows;
    for (int c = 0; c < file_->GetChannelCount(); ++c)
        rows.push_back({std::to_string(c + 1), kvr::ChannelHeading(*file_, c), "", "", "", ""});
    SetTextRows(list_, rows);
}

void CXStatDlg::SetPeriod(kvr::Time start, kvr::Time end) {
    start_.Set(start);
    end_.Set(end);
}

void CXStatDlg::Compute() {
    if (!file_ || computing_) return;
    computing_ = true;
    cancelRequested_ = false;
    compute_->setEnabled(false);
    progress_->setValue(0);
    // Events keep flowing so the bar moves and "关闭" can stop a long period.
    const kvr::StatisticsOutcome outcome =
        kvr::ComputeStatistics(*file_, start_.Get(), end_.Get(), [this](int percent) {
            progress_->setValue(percent);
            QApplication::processEvents();
            return !cancelRequested_;
        });
    computing_ = false;
    compute_->setEnabled(true);
    if (outcome.cancelled) {
        QDialog::reject();
        return;
    }
    if (!outcome.error.empty()) {
        ShowStopMessage(this, QString::fromStdString(outcome.error), NoticeCaption());
        return;
    }
    std::vector<std::vector<std::string>> rows;
    for (const auto& row : outcome.rows)
        rows.push_back({row.number, row.channel, row.peak, row.valley, row.mean, row.uniformity});
    SetTextRows(list_, rows);
}

void CXStatDlg::reject() {
    if (computing_) {
        cancelRequested_ = true;  // the computation closes the dialog once it has stopped
        return;
    }
    QDialog::reject();
}

std::vector<kvr::StatisticsRow> CXStatDlg::ShownRows() const {
    std::vector<kvr::StatisticsRow> rows;
    for (int r = 0; r < list_->rowCount(); ++r) {
        auto cell = [&](int c) { return TextCell(list_, r, c).toStdString(); };
        rows.push_back({cell(0), cell(1), cell(2), cell(3), cell(4), cell(5)});
    }
    return rows;
}

void CXStatDlg::CopyAll() {
    if (!file_) return;
    const std::string text = kvr::StatisticsCopyText(ShownRows());
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
}

void CXStatDlg::SaveAs() {
    if (!file_) return;
    const QString path = AskWorkbookPath(this, QStringLiteral("Statistic.xlsx"),
                                         file_ ? file_->GetFileName() : std::string());
    if (path.isEmpty()) return;
    if (const auto problem =
            kvr::WriteStatisticsWorkbook(QFile::encodeName(path).toStdString(), ShownRows())) {
        ShowStopMessage(this, QString::fromStdString(*problem), NoticeCaption());
        return;
    }
    ShowMessageBox({this, QString::fromUtf8(kvr::kWorkbookWritten), NoticeCaption(),
                    QMessageBox::Information, QMessageBox::Ok});
}
