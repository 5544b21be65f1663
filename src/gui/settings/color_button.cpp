#include "gui/settings/color_button.h"

#include <QColorDialog>
#include <QPixmap>

CColorButton::CColorButton(QWidget* parent) : QPushButton(parent) {
    setIconSize(QSize(36, 12));
    connect(this, &QPushButton::clicked, this, &CColorButton::Choose);
    SetColorRef(0);
}

void CColorButton::SetColorRef(std::uint32_t colorRef) {
    colorRef_ = colorRef & 0x00FFFFFF;
    QPixmap swatch(iconSize());
    swatch.fill(ColorFromRef(colorRef_));
    setIcon(QIcon(swatch));
}

void CColorButton::Choose() {
    const QColor chosen = QColorDialog::getColor(ColorFromRef(colorRef_), this);
    if (chosen.isValid()) SetColorRef(ColorToRef(chosen));
}
