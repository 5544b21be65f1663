#include "gui/app/about_dlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/icons.h"

namespace {

QPixmap Banner() {
    QPixmap banner(360, 56);
    QPainter painter(&banner);
    QLinearGradient gradient(0, 0, banner.width(), 0);
    gradient.setColorAt(0, QColor(0x00, 0x40, 0x80));
    gradient.setColorAt(1, QColor(0x60, 0x90, 0xC0));
    painter.fillRect(banner.rect(), gradient);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(30);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(banner.rect().adjusted(16, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     QStringLiteral("Kevara 1.0.8"));
    return banner;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("关于 Kevara"));
    auto* banner = new QLabel(this);
    banner->setPixmap(Banner());

    auto* icon = new QLabel(this);
    icon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* lines = new QLabel(QStringLiteral("Kevara 流量仪表数据管理软件 1.0.8 版\n"
                                            "版权所有 (C) Kevara"),
                             this);
    auto* row = new QHBoxLayout;
    row->addWidget(icon, 0, Qt::AlignTop);
    row->addWidget(lines, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addLayout(row);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
