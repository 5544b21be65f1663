#include "gui/common/color_ref.h"

#include <algorithm>
#include <cmath>

QColor ColorFromRef(std::uint32_t colorRef) {
    return QColor(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

std::uint32_t ColorToRef(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

namespace {

constexpr double kLegibleContrast = 3.0;

double Linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double Luminance(const QColor& colour) {
    return 0.2126 * Linear(colour.red()) + 0.7152 * Linear(colour.green()) +
           0.0722 * Linear(colour.blue());
}

}  // namespace

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor LegibleOn(const QColor& colour, const QColor& background) {
    const bool lightBackground = Luminance(background) > 0.18;
    QColor shown = colour;
    for (int step = 0; step < 32 && ContrastRatio(shown, background) < kLegibleContrast; ++step) {
        if (lightBackground)
            shown = QColor(shown.red() * 7 / 8, shown.green() * 7 / 8, shown.blue() * 7 / 8);
        else
            shown = QColor(255 - (255 - shown.red()) * 7 / 8, 255 - (255 - shown.green()) * 7 / 8,
                           255 - (255 - shown.blue()) * 7 / 8);
    }
    return shown;
}
