#pragma once
// LabelPlacer: keeps the texts drawn over one area from covering each other. Each text asks
// for a place; it gets the place asked for when that is free, else the nearest free place
// a row above or below it, else none and is left out. Every place lies inside the area.
#include <QRect>
#include <optional>
#include <vector>

class LabelPlacer {
public:
    explicit LabelPlacer(const QRect& area) : area_(area) {}

    // A free place for a text of wanted's size, as near to wanted as can be, and taken.
    std::optional<QRect> Place(const QRect& wanted);

private:
    bool IsFree(const QRect& rect) const;
    QRect Inside(QRect rect) const;

    QRect area_;
    std::vector<QRect> taken_;
};
