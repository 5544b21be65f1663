#include "gui/curves/span_panel.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdint>

#include "core/datafile/time.h"
#include "core/settings/view_switches.h"
#include "gui/common/command_ids.h"
#include "gui/common/command_map.h"
#include "gui/curves/curve_ctrl.h"

namespace {

constexpr std::uint8_t kShown = 1;
// Columns from the start value on hold numbers.
constexpr int kFirstNumberColumn = 2;

QString Utf8(const std::string& text) { return QString::fromStdString(text); }

QString Duration(kvr::Time seconds) {
    return QString::asprintf("%lld小时%lld分%lld秒", static_cast<long long>(seconds / 3600),
                             static_cast<long long>(seconds / 60 % 60),
                             static_cast<long long>(seconds % 60));
}

}  // namespace

CSpanPanel::CSpanPanel(CXCurveCtrl* curve, QWidget* view)
    : QWidget(view), curve_(curve), switchedOn_(kvr::ReadSpanPanelShown()) {
    setObjectName(QStringLiteral("spanPanel"));
    period_ = new QLabel(this);
    copy_ = new QPushButton(QStringLiteral("复制"), this);
    export_ = new QPushButton(QStringLiteral("导出区间"), this);
    export_->hide();
    table_ = new QTableWidget(this);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionMode(QAbstractItemView::NoSelection);
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(20);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    QStringList titles;
    for (const auto& title : kvr::SpanTitles()) titles << Utf8(title);
    table_->setColumnCount(static_cast<int>(titles.size()));
    table_->setHorizontalHeaderLabels(titles);

    auto* top = new QHBoxLayout;
    top->addWidget(period_, 1);
    top->addWidget(copy_);
    top->addWidget(export_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(table_, 1);

    connect(copy_, &QPushButton::clicked, this, &CSpanPanel::CopyToClipboard);
    connect(export_, &QPushButton::clicked, this, &CSpanPanel::exportRequested);
    connect(curve_, &CXCurveCtrl::selectionChanged, this, &CSpanPanel::Refresh);
    // A curve shown or hidden redraws the curves, and so does every change of the window.
    connect(curve_, &CXCurveCtrl::windowChanged, this, &CSpanPanel::Refresh);
    curve_->installEventFilter(this);
    hide();
}

void CSpanPanel::SetSwitchedOn(bool on) {
    switchedOn_ = on;
    Refresh();
}

void CSpanPanel::RegisterToggle(CommandMap& map) {
    map.RegisterCommand(cmd::kSpanPanel, {[this] {
                                              SetSwitchedOn(!switchedOn_);
                                              kvr::WriteSpanPanelShown(switchedOn_);
                                          },
                                          {},
                                          [this] { return switchedOn_; }});
}

void CSpanPanel::SetExportShown(bool shown) { export_->setVisible(shown); }

bool CSpanPanel::Wanted() const {
    if (!switchedOn_ || !curve_->GetFile() || !curve_->IsSelectMode()) return false;
    const auto [a, b] = curve_->GetSelection();
    return a != 0 && b != 0 && a != b;
}

void CSpanPanel::Refresh() {
    if (!Wanted()) {
        span_ = {0, 0};
        outcome_ = {};
        ApplyVisibility(false);
        return;
    }
    const auto [a, b] = curve_->GetSelection();
    span_ = {std::min(a, b), std::max(a, b)};
    outcome_ = kvr::ComputeSpan(*curve_->GetFile(), span_.first, span_.second);
    Fill();
    ApplyVisibility(true);
}

void CSpanPanel::ApplyVisibility(bool visible) {
    if (visible == !isHidden()) return;
    setVisible(visible);
    // The curves give up the room the panel takes, or take it back.
    curve_->SetBottomReserve(visible ? kHeight + kGap : 0);
    curve_->Rebuild();
    FollowCurve();
}

void CSpanPanel::FollowCurve() {
    setGeometry(curve_->x(), curve_->y() + curve_->height() + kGap, curve_->width(), kHeight);
}

bool CSpanPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == curve_ && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        FollowCurve();
    return QWidget::eventFilter(watched, event);
}

QString CSpanPanel::PeriodText() const {
    if (span_.first == 0) return {};
    return QStringLiteral("起点：%1    终点：%2    时长：%3")
        .arg(Utf8(kvr::FormatTime(span_.first)), Utf8(kvr::FormatTime(span_.second)),
             Duration(span_.second - span_.first));
}

void CSpanPanel::Fill() {
    const kvr::CXFile& file = *curve_->GetFile();
    period_->setText(outcome_.error.empty() ? PeriodText() : Utf8(outcome_.error));
    std::vector<std::vector<std::string>> rows;
    for (const kvr::SpanChannel& channel : outcome_.channels)
        if (file.Header().channels[channel.channel].showState == kShown)
            rows.push_back(kvr::SpanCells(file, channel));
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const auto& cells = rows[static_cast<size_t>(r)];
        for (int c = 0; c < static_cast<int>(cells.size()); ++c) {
            auto* item = new QTableWidgetItem(Utf8(cells[static_cast<size_t>(c)]));
            if (c >= kFirstNumberColumn) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table_->setItem(r, c, item);
        }
    }
}

QString CSpanPanel::CopyText() const {
    if (span_.first == 0) return {};
    const QString lineEnd = QStringLiteral("\r\n");
    QString text = QStringLiteral("起点\t%1\t终点\t%2\t时长\t%3")
                       .arg(Utf8(kvr::FormatTime(span_.first)), Utf8(kvr::FormatTime(span_.second)),
                            Duration(span_.second - span_.first)) +
                   lineEnd;
    QStringList titles;
    for (int c = 0; c < table_->columnCount(); ++c)
        titles << table_->horizontalHeaderItem(c)->text();
    text += titles.join(QLatin1Char('\t')) + lineEnd;
    for (int r = 0; r < table_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table_->columnCount(); ++c)
            cells << (table_->item(r, c) ? table_->item(r, c)->text() : QString());
        text += cells.join(QLatin1Char('\t')) + lineEnd;
    }
    return text;
}

void CSpanPanel::CopyToClipboard() const {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(CopyText());
}
