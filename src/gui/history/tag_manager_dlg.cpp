#include "gui/history/tag_manager_dlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/datafile/cxfile.h"
#include "gui/common/message_box.h"
#include "gui/navigation/tag_list.h"

CTagManagerDlg::CTagManagerDlg(kvr::CXFile& file, QWidget* parent) : QDialog(parent), file_(file) {
    setWindowTitle(QStringLiteral("标签管理"));
    tagList_ = new CTagList(this);
    auto* remove = new QPushButton(QStringLiteral("删除"), this);
    remove->setObjectName(QStringLiteral("deleteButton"));
    auto* removeAll = new QPushButton(QStringLiteral("删除全部"), this);
    removeAll->setObjectName(QStringLiteral("deleteAllButton"));
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    connect(remove, &QPushButton::clicked, this, &CTagManagerDlg::OnDelete);
    connect(removeAll, &QPushButton::clicked, this, &CTagManagerDlg::OnDeleteAll);
    connect(close, &QPushButton::clicked, this, &CTagManagerDlg::reject);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(remove);
    buttons->addWidget(removeAll);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* listSide = new QVBoxLayout;
    listSide->addWidget(new QLabel(QStringLiteral("标签按照添加顺序排列"), this));
    listSide->addWidget(tagList_);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listSide);
    layout->addLayout(buttons);

    tagList_->Fill(file_);
}

bool CTagManagerDlg::MayDelete() {
    if (const char* refusal = file_.EditRefusal()) {
        ShowStopMessage(this, QString::fromUtf8(refusal), NoticeCaption());
        return false;
    }
    return ShowMessageBox({this, QStringLiteral("确认需要删除？"), NoticeCaption(),
                           QMessageBox::Question, QMessageBox::Yes | QMessageBox::No}) ==
           QMessageBox::Yes;
}

void CTagManagerDlg::OnDelete() {
    if (!MayDelete()) return;
    const int tag = tagList_->SelectedTag();
    if (tag < 0) {
        ShowMessageBox({this, QStringLiteral("请选择标签!"), NoticeCaption(),
                        QMessageBox::Information, QMessageBox::Ok});
    } else {
        file_.DeleteTag(tag);
    }
    tagList_->Fill(file_);
}

void CTagManagerDlg::OnDeleteAll() {
    if (!MayDelete()) return;
    // A tag that cannot be deleted (a read-only file) must not hold the loop forever.
    while (file_.GetTagCount() > 0 && file_.DeleteTag(0)) {
    }
    tagList_->Fill(file_);
}
