#include "gui/common/system_colors.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct SystemColors {
    QColor face, shadow, highlight, darkShadow, light;
};

const SystemColors& Colors() {
    static const SystemColors colors = [] {
        const QPalette palette = QGuiApplication::palette();
        // Plain 8-bit colours, as the layers store them.
        const auto role = [&](QPalette::ColorRole r) { return QColor(palette.color(r).rgb()); };
        return SystemColors{role(QPalette::Button), role(QPalette::Dark), role(QPalette::Light),
                            role(QPalette::Shadow), role(QPalette::Midlight)};
    }();
    return colors;
}

}  // namespace

QColor ButtonFaceColor() { return Colors().face; }
QColor ButtonShadowColor() { return Colors().shadow; }
QColor ButtonHighlightColor() { return Colors().highlight; }

void Draw3dRect(QPainter& painter, const EdgeRect& rect, const QColor& topLeft,
                const QColor& bottomRight) {
    const int w = rect.Width();
    const int h = rect.Height();
    if (w <= 0 || h <= 0) return;
    painter.fillRect(rect.left, rect.top, w - 1, 1, topLeft);
    painter.fillRect(rect.left, rect.top, 1, h - 1, topLeft);
    painter.fillRect(rect.right - 1, rect.top, 1, h, bottomRight);
    painter.fillRect(rect.left, rect.bottom - 1, w, 1, bottomRight);
}

void DrawSunkenFrame(QPainter& painter, const EdgeRect& rect) {
    Draw3dRect(painter, rect, ButtonShadowColor(), ButtonHighlightColor());
}

void DrawSunkenEdge(QPainter& painter, const EdgeRect& rect) {
    DrawSunkenFrame(painter, rect);
    Draw3dRect(painter, rect.Shrunk(1), Colors().darkShadow, Colors().light);
}
