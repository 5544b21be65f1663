#include "gui/app/mdi_background.h"

#include <QPainter>

namespace {

const QColor kShadowText(0xCC, 0xCC, 0xCC);
const QColor kBannerText(0x00, 0x40, 0x80);

}  // namespace

CMdiBackground::CMdiBackground(QWidget* parent) : QMdiArea(parent) {}

void CMdiBackground::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().color(QPalette::Dark));
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(50);
    painter.setFont(font);
    const QString banner = QStringLiteral("Kevara 1.0.8");
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip;
    painter.setPen(kShadowText);
    painter.drawText(QRect(12, 12, 0, 0), flags, banner);
    painter.setPen(kBannerText);
    painter.drawText(QRect(10, 10, 0, 0), flags, banner);
}

void CMdiBackground::resizeEvent(QResizeEvent* event) {
    QMdiArea::resizeEvent(event);
    // The banner's place does not move, but a partial repaint would smear the shadow.
    viewport()->update();
}
