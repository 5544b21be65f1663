// Texts over the plot: each keeps the place it asks for when free, moves a row when that is
// taken, stays inside the plot, and is left out when no row near it is free.
#include <gtest/gtest.h>

#include "gui/curves/label_placer.h"

TEST(LabelPlacer, PlacesInsideAndOffOtherTexts) {
    struct Case {
        const char* name;
        std::vector<QRect> earlier;  // placed first, in order
        QRect wanted;
        std::optional<QRect> placed;
    };
    const QRect area(0, 0, 200, 100);
    const std::vector<Case> cases = {
        {"free", {}, QRect(10, 10, 50, 10), QRect(10, 10, 50, 10)},
        {"past the right edge", {}, QRect(180, 10, 50, 10), QRect(150, 10, 50, 10)},
        {"past the bottom", {}, QRect(10, 95, 50, 10), QRect(10, 90, 50, 10)},
        {"above the top", {}, QRect(10, -4, 50, 10), QRect(10, 0, 50, 10)},
        {"taken: one row down",
         {QRect(10, 10, 50, 10)},
         QRect(30, 12, 50, 10),
         QRect(30, 22, 50, 10)},
        {"taken below too: one row up",
         {QRect(10, 40, 50, 10), QRect(10, 50, 50, 10)},
         QRect(20, 40, 50, 10),
         QRect(20, 30, 50, 10)},
        {"beside, not over", {QRect(10, 10, 50, 10)}, QRect(60, 10, 50, 10), QRect(60, 10, 50, 10)},
        {"no row free", {QRect(0, 0, 200, 100)}, QRect(10, 10, 50, 10), std::nullopt},
        {"wider than the area", {}, QRect(0, 0, 300, 10), std::nullopt},
    };
    for (const Case& c : cases) {
        LabelPlacer placer(area);
        for (const QRect& r : c.earlier) placer.Place(r);
        EXPECT_EQ(placer.Place(c.wanted), c.placed) << c.name;
    }
}
