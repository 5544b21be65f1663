#include "gui/history/continuous_print_dlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>
#include <algorithm>

#include "core/datafile/cxfile.h"
#include "core/view/chart_geometry.h"
#include "gui/common/message_box.h"

namespace {
constexpr kvr::Time kDefaultSpan = 1000;  // seconds before the file end
}

CContinuousPrintDlg::CContinuousPrintDlg(const kvr::CXFile& file, QWidget* parent)
    : QDialog(parent), file_(file) {
    setWindowTitle(QStringLiteral("连续曲线打印参数设置"));
    auto* layout = new QVBoxLayout(this);
    const kvr::CalendarFields first = kvr::SplitTime(file.GetStartTime());
    const kvr::CalendarFields last = kvr::SplitTime(file.GetEndTime());
    auto* range = new QLabel(
        QString::asprintf(
            "时间范围：%d-%02d-%02d %02d:%02d:%02d =>\n          %d-%02d-%02d %02d:%02d:%02d",
            first.year, first.month, first.day, first.hour, first.minute, first.second, last.year,
            last.month, last.day, last.hour, last.minute, last.second),
        this);
    range->setObjectName(QStringLiteral("range"));
    layout->addWidget(range);

    auto* grid = new QGridLayout;
    startPickers_ = DateTimePickers::Create(this, "start");
    endPickers_ = DateTimePickers::Create(this, "end");
    grid->addWidget(new QLabel(QStringLiteral("起始时间"), this), 0, 0);
    grid->addWidget(startPickers_.date, 0, 1);
    grid->addWidget(startPickers_.time, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("终止时间"), this), 1, 0);
    grid->addWidget(endPickers_.date, 1, 1);
    grid->addWidget(endPickers_.time, 1, 2);
    layout->addLayout(grid);

    auto* pagesRow = new QHBoxLayout;
    pagesEdit_ = new QLineEdit(this);
    pagesEdit_->setObjectName(QStringLiteral("pages"));
    pagesEdit_->setReadOnly(true);
    pagesRow->addWidget(new QLabel(QStringLiteral("共"), this));
    pagesRow->addWidget(pagesEdit_);
    pagesRow->addWidget(new QLabel(QStringLiteral("页"), this));
    layout->addLayout(pagesRow);
    errorLabel_ = new QLabel(this);
    errorLabel_->setObjectName(QStringLiteral("error"));
    layout->addWidget(errorLabel_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* preview = new QPushButton(QStringLiteral("打印预览"), this);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setDefault(true);
    auto* print = new QPushButton(QStringLiteral("打印"), this);
    print->setObjectName(QStringLiteral("print"));
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    buttons->addWidget(preview);
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(preview, &QPushButton::clicked, this, [this] { Finish(Choice::kPreview); });
    connect(print, &QPushButton::clicked, this, [this] { Finish(Choice::kPrint); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    const kvr::Time end = file.GetEndTime();
    startPickers_.Set(std::max(end - kDefaultSpan, file.GetStartTime()));
    endPickers_.Set(end);
    for (QWidget* picker :
         {static_cast<QWidget*>(startPickers_.date), static_cast<QWidget*>(startPickers_.time),
          static_cast<QWidget*>(endPickers_.date), static_cast<QWidget*>(endPickers_.time)}) {
        if (auto* edit = qobject_cast<QDateTimeEdit*>(picker))
            connect(edit, &QDateTimeEdit::dateTimeChanged, this, &CContinuousPrintDlg::Recompute);
    }
    Recompute();
}

void CContinuousPrintDlg::Recompute() {
    if (recomputing_) return;
    recomputing_ = true;
    start_ = startPickers_.Get();
    end_ = endPickers_.Get();
    const int interval = file_.GetInterval();
    const std::optional<int> pages =
        kvr::ContinuousPageCount(start_, end_, file_.GetStartTime(), file_.GetEndTime(), interval);
    if (pages) {
        start_ = kvr::SnapToRecordTime(start_, file_.GetEndTime(), interval);
        end_ = kvr::SnapToRecordTime(end_, file_.GetEndTime(), interval);
        startPickers_.Set(start_);
        endPickers_.Set(end_);
        pages_ = kvr::ContinuousPageCount(start_, end_, file_.GetStartTime(), file_.GetEndTime(),
                                          interval)
                     .value_or(0);
        errorLabel_->clear();
    } else {
        pages_ = -1;
        errorLabel_->setText(QStringLiteral("时间设置错误！"));
    }
    pagesEdit_->setText(QString::number(pages_));
    recomputing_ = false;
}

void CContinuousPrintDlg::Finish(Choice choice) {
    if (pages_ < 0) {
        ShowStopMessage(this, QStringLiteral("时间设置有误！"), NoticeCaption());
        return;
    }
    choice_ = choice;
    accept();
}
