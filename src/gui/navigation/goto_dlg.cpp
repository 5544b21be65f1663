#include "gui/navigation/goto_dlg.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "core/view/navigation.h"
#include "gui/common/button_row.h"
#include "gui/common/message_box.h"
#include "gui/navigation/tag_list.h"

CGoToDlg::CGoToDlg(const kvr::CXFile& file, QWidget* parent) : QDialog(parent), file_(file) {
    setWindowTitle(QStringLiteral("转到..."));
    timeRadio_ = new QRadioButton(QStringLiteral("时间"), this);
    timeRadio_->setObjectName(QStringLiteral("timeRadio"));
    tagRadio_ = new QRadioButton(QStringLiteral("标签"), this);
    tagRadio_->setObjectName(QStringLiteral("tagRadio"));
    pickers_ = DateTimePickers::Create(this, "goto");
    tagList_ = new CTagList(this);

    connect(timeRadio_, &QRadioButton::clicked, this, [this] { SetTagMode(false); });
    connect(tagRadio_, &QRadioButton::clicked, this, [this] { SetTagMode(true); });

    auto* grid = new QGridLayout;
    grid->addWidget(timeRadio_, 0, 0);
    grid->addWidget(pickers_.date, 0, 1);
    grid->addWidget(pickers_.time, 0, 2);
    grid->addWidget(tagRadio_, 1, 0);
    grid->addWidget(tagList_, 2, 0, 1, 3);
    QHBoxLayout* buttons =
        CreateButtonRow(this, {QStringLiteral("跳转"), QStringLiteral("jumpButton")},
                        {QStringLiteral("关闭"), QStringLiteral("closeButton")});
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    tagList_->Fill(file_);
    pickers_.Set(file_.GetStartTime());
    timeRadio_->setChecked(true);
    SetTagMode(false);
}

void CGoToDlg::SetTagMode(bool tagMode) {
    pickers_.SetEnabled(!tagMode);
    tagList_->setEnabled(tagMode);
}

void CGoToDlg::accept() {
    if (tagRadio_->isChecked()) {
        const int tag = tagList_->SelectedTag();
        if (tag < 0) {
            ShowMessageBox({this, QStringLiteral("请选择标签!"), NoticeCaption(),
                            QMessageBox::Information, QMessageBox::Ok});
            return;
        }
        result_ = file_.GetTag(tag);
        QDialog::accept();
        return;
    }
    const std::optional<kvr::Time> snapped = kvr::SnapGoToTime(
        pickers_.Get(), file_.GetStartTime(), file_.GetEndTime(), file_.GetInterval());
    if (!snapped) {
        ShowStopMessage(this, QStringLiteral("时间设置有误！"), NoticeCaption());
        return;
    }
    result_ = *snapped;
    QDialog::accept();
}
