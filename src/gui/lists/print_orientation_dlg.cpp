#include "gui/lists/print_orientation_dlg.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

CPrintOrientationDlg::CPrintOrientationDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("数据列表打印方向"));
    portrait_ = new QCheckBox(QStringLiteral("纵向"), this);
    portrait_->setObjectName(QStringLiteral("portraitBox"));
    portrait_->setChecked(true);
    landscape_ = new QCheckBox(QStringLiteral("横向"), this);
    landscape_->setObjectName(QStringLiteral("landscapeBox"));
    // Two check boxes that behave as one choice: ticking either sets the other opposite.
    connect(portrait_, &QCheckBox::clicked, this, [this](bool on) { landscape_->setChecked(!on); });
    connect(landscape_, &QCheckBox::clicked, this, [this](bool on) { portrait_->setChecked(!on); });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &CPrintOrientationDlg::accept);

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(portrait_);
    boxes->addWidget(landscape_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(boxes);
    layout->addWidget(ok, 0, Qt::AlignRight);
}

bool CPrintOrientationDlg::Portrait() const { return portrait_->isChecked(); }
