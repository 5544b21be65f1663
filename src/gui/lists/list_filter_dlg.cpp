#include "gui/lists/list_filter_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "gui/common/button_row.h"
#include "gui/common/message_box.h"

CListFilterDlg::CListFilterDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("数据列表筛选"));
    // Always opens with 1, whatever the list shows now.
    stepEdit_ = new QLineEdit(QStringLiteral("1"), this);
    stepEdit_->setObjectName(QStringLiteral("stepEdit"));

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("间隔:"), this));
    row->addWidget(stepEdit_);
    row->addWidget(new QLabel(QStringLiteral("记录间隔"), this));
    QHBoxLayout* buttons =
        CreateButtonRow(this, {QStringLiteral("确认"), QStringLiteral("okButton")},
                        {QStringLiteral("取消"), QStringLiteral("cancelButton")});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addLayout(buttons);
}

void CListFilterDlg::accept() {
    bool ok = false;
    const int step = stepEdit_->text().trimmed().toInt(&ok);
    // Rows are step records apart: 0 or less would put every row on the same record.
    if (!ok || step < 1) {
        ShowStopMessage(this, QStringLiteral("间隔必须是不小于 1 的整数！"), NoticeCaption());
        stepEdit_->setFocus();
        stepEdit_->selectAll();
        return;
    }
    step_ = step;
    QDialog::accept();
}
