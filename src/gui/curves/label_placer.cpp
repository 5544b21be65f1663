#include "gui/curves/label_placer.h"

#include <algorithm>

namespace {

// How many rows above and below the wanted place are tried before a text is left out.
constexpr int kTries = 3;

}  // namespace

QRect LabelPlacer::Inside(QRect rect) const {
    rect.moveLeft(std::clamp(rect.left(), area_.left(),
                             std::max(area_.left(), area_.right() + 1 - rect.width())));
    rect.moveTop(std::clamp(rect.top(), area_.top(),
                            std::max(area_.top(), area_.bottom() + 1 - rect.height())));
    return rect;
}

bool LabelPlacer::IsFree(const QRect& rect) const {
    if (!area_.contains(rect)) return false;
    return std::none_of(taken_.begin(), taken_.end(),
                        [&](const QRect& t) { return t.intersects(rect); });
}

std::optional<QRect> LabelPlacer::Place(const QRect& wanted) {
    const QRect start = Inside(wanted);
    const int step = std::max(start.height(), 1);
    for (int i = 0; i <= kTries; ++i) {
        for (const int sign : {1, -1}) {
            const QRect candidate = start.translated(0, sign * i * step);
            if (IsFree(candidate)) {
                taken_.push_back(candidate);
                return candidate;
            }
            if (i == 0) break;
        }
    }
    return std::nullopt;
}
