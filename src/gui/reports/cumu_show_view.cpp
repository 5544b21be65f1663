#include "gui/reports/cumu_show_view.h"

#include <QDateEdit>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimeEdit>

#include "core/analysis/table_workbook.h"
#include "gui/common/message_box.h"
#include "gui/reports/text_table.h"
#include "gui/reports/workbook_path.h"

namespace {

constexpr int kListMargin = 20;   // the list is this much narrower than the view
constexpr int kListOverhang = 3;  // and reaches this far below its bottom

QLineEdit* ReadOnlyEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    return edit;
}

std::vector<TextColumn> TextColumns(const std::vector<kvr::ReportColumn>& columns) {
    std::vector<TextColumn> texts;
    for (const auto& column : columns)
        texts.push_back({QString::fromStdString(column.title), column.width});
    return texts;
}

}  // namespace

CCumuShowView::CCumuShowView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("cumuShowView"));
    BuildForm();
}

CCumuShowView::~CCumuShowView() {
    if (ownsFile_) delete file_;
}

void CCumuShowView::BuildForm() {
    alias_ = ReadOnlyEdit(this, "deviceAlias");
    settlement_ = ReadOnlyEdit(this, "settlement");
    reportType_ = ReadOnlyEdit(this, "reportType");
    timeRange_ = new QLabel(this);
    timeRange_->setObjectName(QStringLiteral("timeRange"));
    start_ = DateTimePickers::Create(this, "start");
    end_ = DateTimePickers::Create(this, "end");
    compute_ = new QPushButton(QStringLiteral("统计"), this);
    compute_->setObjectName(QStringLiteral("computeButton"));
    export_ = new QPushButton(QStringLiteral("Excel导出"), this);
    export_->setObjectName(QStringLiteral("exportButton"));
    connect(compute_, &QPushButton::clicked, this, &CCumuShowView::Compute);
    connect(export_, &QPushButton::clicked, this, &CCumuShowView::ExportWorkbook);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("设备别名:"), this), 0, 0);
    form->addWidget(alias_, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("结算时间:"), this), 0, 2);
    form->addWidget(settlement_, 0, 3);
    form->addWidget(new QLabel(QStringLiteral("报表类型:"), this), 0, 4);
    form->addWidget(reportType_, 0, 5);
    form->addWidget(new QLabel(QStringLiteral("时间范围:"), this), 1, 0, Qt::AlignTop);
    form->addWidget(timeRange_, 1, 1, 1, 2);
    form->addWidget(new QLabel(QStringLiteral("开始时间:"), this), 1, 3);
    form->addWidget(start_.date, 1, 4);
    form->addWidget(start_.time, 1, 5);
    form->addWidget(compute_, 1, 6);
    form->addWidget(new QLabel(QStringLiteral("结束时间:"), this), 2, 3);
    form->addWidget(end_.date, 2, 4);
    form->addWidget(end_.time, 2, 5);
    form->addWidget(export_, 2, 6);
    form->setColumnStretch(7, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 0);
    layout->addLayout(form);
    layout->addStretch();

    // The list is placed by hand: it keeps its position and follows the view's size.
    list_ = CreateTextTable(this, QStringLiteral("reportList"));
    resize(720, 560);
    FitList();
}

void CCumuShowView::FitList() {
    const int top =
        layout() ? layout()->contentsMargins().top() + layout()->itemAt(0)->sizeHint().height() + 10
                 : 110;
    list_->setGeometry(kListMargin / 2, top, std::max(width() - kListMargin, 0),
                       std::max(height() + kListOverhang - top, 0));
}

void CCumuShowView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FitList();
}

void CCumuShowView::SetFile(kvr::CXFile* file, bool owned) {
    if (ownsFile_ && file_ != file) delete file_;
    file_ = file;
    ownsFile_ = owned;
    if (!file_) return;
    source_ = kvr::ReportSourceOf(*file_);
    const kvr::ReportFormTexts texts = kvr::ReportFormTextsOf(*file_);
    alias_->setText(QString::fromStdString(texts.deviceAlias));
    settlement_->setText(QString::fromStdString(texts.settlement));
    reportType_->setText(QString::fromStdString(texts.reportType));
    timeRange_->setText(QString::fromStdString(texts.timeRange));
    SetPeriod(source_.firstHour, source_.lastHour);
    SetTextColumns(list_, TextColumns(kvr::ReportColumns(source_.settings, source_.firstHour,
                                                         source_.lastHour)));
    list_->setRowCount(0);
}

void CCumuShowView::SetPeriod(kvr::Time start, kvr::Time end) {
    start_.Set(start);
    end_.Set(end);
}

std::optional<kvr::CumulativeReport> CCumuShowView::ReportForPeriod() {
    if (!file_) return std::nullopt;
    kvr::ReportOutcome outcome = kvr::BuildCumulativeReport(source_, start_.Get(), end_.Get());
    if (!outcome.report)
        ShowStopMessage(this, QString::fromStdString(outcome.error), NoticeCaption());
    return std::move(outcome.report);
}

void CCumuShowView::Compute() {
    const auto report = ReportForPeriod();
    if (!report) return;
    // The shift columns never change; the month columns follow the period.
    if (source_.settings.shiftCount == 1) SetTextColumns(list_, TextColumns(report->list.columns));
    SetTextRows(list_, report->list.rows);
}

void CCumuShowView::ExportWorkbook() {
    const auto report = ReportForPeriod();
    if (!report) return;
    const QString path = AskWorkbookPath(
        this, QString::fromStdString(file_->GetDeviceName()) + QStringLiteral(".xlsx"),
        file_->GetFileName());
    if (path.isEmpty()) return;
    const auto problem = kvr::WriteReportWorkbook(QFile::encodeName(path).toStdString(), *report);
    if (problem) {
        ShowStopMessage(this, QString::fromStdString(*problem), NoticeCaption());
        return;
    }
    ShowMessageBox({this, QString::fromUtf8(kvr::kWorkbookWritten), NoticeCaption(),
                    QMessageBox::Information, QMessageBox::Ok});
}
