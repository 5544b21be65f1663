#include "gui/realtime/alarm_window.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QFile>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/analysis/alarm_log.h"
#include "core/analysis/table_workbook.h"
#include "gui/common/message_box.h"
#include "gui/realtime/alarm_watch.h"
#include "gui/reports/text_table.h"
#include "gui/reports/workbook_path.h"

namespace {

const QColor kRaisedColor(255, 0, 0);
constexpr int kStateColumn = 5;

std::vector<std::vector<std::string>> Rows(const QTableWidget* table) {
    std::vector<std::vector<std::string>> rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < table->columnCount(); ++c)
            row.push_back(TextCell(table, r, c).toStdString());
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace

CRealtimeAlarmWnd::CRealtimeAlarmWnd(const CAlarmWatch* watch, const kvr::CXFile* file,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), watch_(watch), file_(file) {
    setObjectName(QStringLiteral("realtimeAlarms"));
    setWindowTitle(QStringLiteral("实时报警"));
    table_ = CreateTextTable(this, QStringLiteral("alarmTable"));
    static constexpr int kWidths[] = {150, 100, 70, 90, 90, 60, 100};
    std::vector<TextColumn> columns;
    for (size_t c = 0; c < kvr::AlarmTitles().size(); ++c)
        columns.push_back({QString::fromStdString(kvr::AlarmTitles()[c]), kWidths[c % 7]});
    SetTextColumns(table_, columns);

    auto* copy = new QPushButton(QStringLiteral("复制"), this);
    auto* save = new QPushButton(QStringLiteral("导出"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(copy);
    buttons->addWidget(save);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(buttons);
    connect(copy, &QPushButton::clicked, this, &CRealtimeAlarmWnd::CopyAll);
    connect(save, &QPushButton::clicked, this, &CRealtimeAlarmWnd::Export);
    connect(watch_, &CAlarmWatch::eventsChanged, this, &CRealtimeAlarmWnd::Follow);
    resize(720, 320);
    Follow(0);
}

void CRealtimeAlarmWnd::Follow(int first) {
    if (first == 0) table_->setRowCount(0);
    const auto& events = watch_->Events();
    for (int i = table_->rowCount(); i < static_cast<int>(events.size()); ++i) {
        const kvr::AlarmEvent& event = events[static_cast<size_t>(i)];
        const std::vector<std::string> cells = kvr::AlarmCells(*file_, event);
        table_->insertRow(i);
        for (int c = 0; c < static_cast<int>(cells.size()); ++c)
            SetTextCell(table_, i, c, cells[static_cast<size_t>(c)]);
        if (event.raised && table_->item(i, kStateColumn))
            table_->item(i, kStateColumn)->setForeground(kRaisedColor);
    }
    table_->scrollToBottom();
}

QString CRealtimeAlarmWnd::CopyText() const {
    const QString lineEnd = QStringLiteral("\r\n");
    QStringList titles;
    for (const auto& title : kvr::AlarmTitles()) titles << QString::fromStdString(title);
    QString text = titles.join(QLatin1Char('\t')) + lineEnd;
    for (const auto& row : Rows(table_)) {
        QStringList cells;
        for (const auto& cell : row) cells << QString::fromStdString(cell);
        text += cells.join(QLatin1Char('\t')) + lineEnd;
    }
    return text;
}

void CRealtimeAlarmWnd::CopyAll() const {
    if (QClipboard* clipboard = QApplication::clipboard()) clipboard->setText(CopyText());
}

void CRealtimeAlarmWnd::Export() {
    const QString path = AskWorkbookPath(this, QStringLiteral("Alarms.xlsx"), file_->GetFileName());
    if (path.isEmpty()) return;
    using kvr::ColumnType;
    static const std::vector<ColumnType> types{
        ColumnType::kText,   ColumnType::kText, ColumnType::kText,  ColumnType::kNumber,
        ColumnType::kNumber, ColumnType::kText, ColumnType::kNumber};
    if (const auto problem = kvr::WriteTableWorkbook(QFile::encodeName(path).toStdString(),
                                                     kvr::AlarmTitles(), types, Rows(table_))) {
        ShowStopMessage(this, QString::fromStdString(*problem), NoticeCaption());
        return;
    }
    ShowMessageBox({this, QString::fromUtf8(kvr::kWorkbookWritten), NoticeCaption(),
                    QMessageBox::Information, QMessageBox::Ok});
}
