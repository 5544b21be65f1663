#include "gui/reports/totals_dlg.h"

#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/analysis/totals_rows.h"
#include "gui/reports/text_table.h"

namespace {
constexpr int kTotalColumn = 2;
}

CXTotalsDlg::CXTotalsDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("totalsDlg"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    list_ = CreateTextTable(this, QStringLiteral("totalsList"));
    SetTextColumns(list_, {{QStringLiteral("序号"), 45},
                           {QStringLiteral("通道"), 100},
                           {QStringLiteral("累积量"), 150}});
    auto* copy = new QPushButton(QStringLiteral("复制"), this);
    copy->setObjectName(QStringLiteral("copyButton"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(copy, &QPushButton::clicked, this, &CXTotalsDlg::Copy);
    connect(close, &QPushButton::clicked, this, &CXTotalsDlg::close);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(copy);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(buttons);
    resize(340, 170);
}

void CXTotalsDlg::Open() {
    if (file_) {
        setWindowTitle(QString::fromStdString(kvr::TotalsTitle(*file_)));
        std::vector<std::vector<std::string>> rows;
        for (const auto& row : kvr::TotalsRows(*file_))
            rows.push_back({row.number, row.name, row.total});
        SetTextRows(list_, rows);
    }
    show();
    raise();
}

void CXTotalsDlg::Refresh() {
    if (!file_) return;
    const auto rows = kvr::TotalsRows(*file_);
    for (size_t r = 0; r < rows.size(); ++r)
        SetTextCell(list_, static_cast<int>(r), kTotalColumn, rows[r].total);
}

void CXTotalsDlg::Copy() {
    if (!file_) return;
    std::vector<kvr::TotalsRow> rows;
    for (int r = 0; r < list_->rowCount(); ++r)
        rows.push_back({TextCell(list_, r, 0).toStdString(), TextCell(list_, r, 1).toStdString(),
                        TextCell(list_, r, kTotalColumn).toStdString()});
    const std::string text = kvr::TotalsCopyText(rows);
    if (QClipboard* clipboard = QApplication::clipboard())
        clipboard->setText(QString::fromStdString(text));
}
