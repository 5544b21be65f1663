#include "gui/records/event_list_dlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/datafile/config_record.h"
#include "core/datafile/cxfile.h"

namespace {

QString Title(kvr::EventList list) {
    switch (list) {
        case kvr::EventList::kAlarm: return QStringLiteral("报警列表");
        case kvr::EventList::kPowerFailure: return QStringLiteral("停电记录");
        case kvr::EventList::kOperation: return QStringLiteral("操作日志");
    }
    return {};
}

Qt::Alignment Alignment(kvr::ColumnAlign align) {
    return (align == kvr::ColumnAlign::kCentre ? Qt::AlignHCenter : Qt::AlignLeft) |
           Qt::AlignVCenter;
}

}  // namespace

CEventListDlg::CEventListDlg(kvr::EventList list, kvr::CXFile* file, QWidget* parent)
    : QDialog(parent), table_(new QTableWidget(this)) {
    setWindowTitle(Title(list));
    table_->setShowGrid(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->verticalHeader()->hide();
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    if (list == kvr::EventList::kPowerFailure) {
        summary_ = new QLabel(this);
        layout->addWidget(summary_);
    }
    layout->addWidget(buttons);

    // Without a file the columns still show, over no rows.
    const kvr::ConfigRecord record =
        file ? kvr::ConfigRecord(*file) : kvr::ConfigRecord(nullptr, 0, 0);
    Fill(kvr::BuildEventTable(record, list));
    if (!file && summary_) summary_->clear();
}

QString CEventListDlg::Summary() const { return summary_ ? summary_->text() : QString(); }

void CEventListDlg::Fill(const kvr::EventTable& table) {
    table_->setColumnCount(static_cast<int>(table.columns.size()));
    table_->setRowCount(static_cast<int>(table.rows.size()));
    int width = 0;
    for (int c = 0; c < static_cast<int>(table.columns.size()); ++c) {
        const kvr::EventColumn& column = table.columns[static_cast<std::size_t>(c)];
        auto* header = new QTableWidgetItem(QString::fromStdString(column.title));
        header->setTextAlignment(Alignment(column.align));
        table_->setHorizontalHeaderItem(c, header);
        table_->setColumnWidth(c, column.width);
        width += column.width;
        for (int r = 0; r < static_cast<int>(table.rows.size()); ++r) {
            const auto& row = table.rows[static_cast<std::size_t>(r)];
            auto* item =
                new QTableWidgetItem(QString::fromStdString(row[static_cast<std::size_t>(c)]));
            item->setTextAlignment(Alignment(column.align));
            table_->setItem(r, c, item);
        }
    }
    table_->setMinimumWidth(width + 24);
    table_->setMinimumHeight(320);
    if (summary_) summary_->setText(QString::fromStdString(table.summary));
}
