#include "gui/history/value_label_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "core/datafile/gbk.h"
#include "gui/common/button_row.h"
#include "gui/common/message_box.h"

CValueLabelDlg::CValueLabelDlg(const kvr::CXFile& file, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("值标签"));
    labels_ = {file.Header().labels[0], file.Header().labels[1]};
    auto* grid = new QGridLayout;
    for (int k = 0; k < 2; ++k) {
        const kvr::ValueLabel& label = labels_[static_cast<std::size_t>(k)];
        nameEdits_[k] = new QLineEdit(
            QString::fromStdString(kvr::FieldToUtf8(label.name, sizeof label.name)), this);
        nameEdits_[k]->setObjectName(QStringLiteral("nameEdit%1").arg(k));
        nameEdits_[k]->setMaxLength(kMaxNameBytes);
        valueEdits_[k] = new QLineEdit(QString::number(label.value), this);
        valueEdits_[k]->setObjectName(QStringLiteral("valueEdit%1").arg(k));
        shownBoxes_[k] = new QCheckBox(QStringLiteral("显示"), this);
        shownBoxes_[k]->setObjectName(QStringLiteral("shownBox%1").arg(k));
        shownBoxes_[k]->setChecked(label.shown != 0);
        grid->addWidget(new QLabel(QStringLiteral("名称:"), this), k, 0);
        grid->addWidget(nameEdits_[k], k, 1);
        grid->addWidget(new QLabel(QStringLiteral("设定值:"), this), k, 2);
        grid->addWidget(valueEdits_[k], k, 3);
        grid->addWidget(shownBoxes_[k], k, 4);
    }
    QHBoxLayout* buttons =
        CreateButtonRow(this, {QStringLiteral("OK"), QStringLiteral("okButton")},
                        {QStringLiteral("Cancel"), QStringLiteral("cancelButton")});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
}

void CValueLabelDlg::accept() {
    std::array<kvr::ValueLabel, 2> edited{};
    for (int k = 0; k < 2; ++k) {
        const std::string name = nameEdits_[k]->text().toStdString();
        // The file keeps names in GBK: a Chinese character takes two of the ten bytes.
        if (kvr::Utf8ToGbk(name).size() > static_cast<std::size_t>(kMaxNameBytes)) {
            ShowMessageBox({this, QStringLiteral("请输入不超过 %1 个字符。").arg(kMaxNameBytes),
                            NoticeCaption(), QMessageBox::Information, QMessageBox::Ok});
            nameEdits_[k]->setFocus();
            return;
        }
        bool ok = false;
        const float value = valueEdits_[k]->text().trimmed().toFloat(&ok);
        if (!ok) {
            ShowMessageBox({this, QStringLiteral("请输入一个数字。"), NoticeCaption(),
                            QMessageBox::Information, QMessageBox::Ok});
            valueEdits_[k]->setFocus();
            return;
        }
        kvr::ValueLabel& label = edited[static_cast<std::size_t>(k)];
        label.shown = shownBoxes_[k]->isChecked() ? 1 : 0;
        label.value = value;
        kvr::WriteGbkField(label.name, sizeof label.name, name, kMaxNameBytes);
    }
    labels_ = edited;
    QDialog::accept();
}

bool EditValueLabels(QWidget* parent, kvr::CXFile& file) {
    CValueLabelDlg dialog(file, parent);
    if (dialog.exec() != QDialog::Accepted) return false;
    file.Header().labels[0] = dialog.Labels()[0];
    file.Header().labels[1] = dialog.Labels()[1];
    if (!file.FlushHeader()) {
        ShowStopMessage(parent, QStringLiteral("保存文件信息失败！"), NoticeCaption());
        return false;
    }
    return true;
}
