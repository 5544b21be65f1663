#include "gui/reports/text_table.h"

#include <QHeaderView>

QTableWidget* CreateTextTable(QWidget* parent, const QString& objectName) {
    auto* table = new QTableWidget(parent);
    table->setObjectName(objectName);
    table->setShowGrid(true);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->setVisible(false);
    table->verticalHeader()->setDefaultSectionSize(20);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    table->horizontalHeader()->setHighlightSections(false);
    return table;
}

void SetTextColumns(QTableWidget* table, const std::vector<TextColumn>& columns) {
    table->setColumnCount(static_cast<int>(columns.size()));
    QStringList titles;
    for (const auto& column : columns) titles << column.title;
    table->setHorizontalHeaderLabels(titles);
    for (size_t i = 0; i < columns.size(); ++i)
        table->setColumnWidth(static_cast<int>(i), columns[i].width);
}

void SetTextCell(QTableWidget* table, int row, int column, const std::string& text) {
    if (row >= table->rowCount() || column >= table->columnCount()) return;
    table->setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
}

void SetTextRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows) {
    table->clearContents();
    table->setRowCount(static_cast<int>(rows.size()));
    for (size_t r = 0; r < rows.size(); ++r)
        for (size_t c = 0; c < rows[r].size(); ++c)
            SetTextCell(table, static_cast<int>(r), static_cast<int>(c), rows[r][c]);
}

QString TextCell(const QTableWidget* table, int row, int column) {
    const QTableWidgetItem* item = table->item(row, column);
    return item ? item->text() : QString();
}
