#pragma once
// The read-only list of texts the report, totals and statistics windows show: grid lines,
// whole rows selected, column widths in pixels.
#include <QString>
#include <QTableWidget>
#include <string>
#include <utility>
#include <vector>

struct TextColumn {
    QString title;
    int width = 0;
};

QTableWidget* CreateTextTable(QWidget* parent, const QString& objectName);
void SetTextColumns(QTableWidget* table, const std::vector<TextColumn>& columns);
// Replaces every row; cells are UTF-8.
void SetTextRows(QTableWidget* table, const std::vector<std::vector<std::string>>& rows);
void SetTextCell(QTableWidget* table, int row, int column, const std::string& text);
QString TextCell(const QTableWidget* table, int row, int column);
