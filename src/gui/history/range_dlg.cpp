#include "gui/history/range_dlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/view/navigation.h"
#include "gui/common/button_row.h"
#include "gui/common/message_box.h"

namespace {

// The file span is written with dashes in the time as well.
QString SpanText(kvr::Time t) {
    QString text = QString::fromStdString(kvr::FormatTime(t));
    return text.replace(QLatin1Char(':'), QLatin1Char('-'));
}

QString ProblemText(kvr::RangeProblem problem) {
    switch (problem) {
        case kvr::RangeProblem::kStartAfterEnd:
            return QStringLiteral("请确认 [开始时间] < [结束时间] ！");
        case kvr::RangeProblem::kStartBeforeFile: return QStringLiteral("[开始时间] 超出范围！");
        case kvr::RangeProblem::kEndAfterFile: return QStringLiteral("[结束时间] 超出范围！");
        case kvr::RangeProblem::kNone: break;
    }
    return {};
}

}  // namespace

CRangeDlg::CRangeDlg(const kvr::CXFile& file, kvr::Time windowStart, kvr::Time windowEnd,
                     QWidget* parent)
    : QDialog(parent), file_(file) {
    setWindowTitle(QStringLiteral("范围设定"));
    auto* span = new QLabel(
        SpanText(file.GetStartTime()) + QLatin1Char('\n') + SpanText(file.GetEndTime()), this);
    span->setObjectName(QStringLiteral("fileSpan"));
    startPickers_ = DateTimePickers::Create(this, "start");
    endPickers_ = DateTimePickers::Create(this, "end");
    startPickers_.Set(windowStart);
    endPickers_.Set(windowEnd);

    auto* grid = new QGridLayout;
    grid->addWidget(span, 0, 0, 1, 3);
    grid->addWidget(new QLabel(QStringLiteral("开始时间"), this), 1, 0);
    grid->addWidget(startPickers_.date, 1, 1);
    grid->addWidget(startPickers_.time, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("结束时间"), this), 2, 0);
    grid->addWidget(endPickers_.date, 2, 1);
    grid->addWidget(endPickers_.time, 2, 2);
    QHBoxLayout* buttons =
        CreateButtonRow(this, {QStringLiteral("确定"), QStringLiteral("okButton")},
                        {QStringLiteral("关闭"), QStringLiteral("closeButton")});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void CRangeDlg::accept() {
    const kvr::Time start = startPickers_.Get();
    const kvr::Time end = endPickers_.Get();
    const kvr::RangeProblem problem =
        kvr::CheckDisplayRange(start, end, file_.GetStartTime(), file_.GetEndTime());
    if (problem != kvr::RangeProblem::kNone) {
        ShowStopMessage(this, ProblemText(problem), NoticeCaption());
        return;
    }
    start_ = start;
    end_ = end;
    QDialog::accept();
}
