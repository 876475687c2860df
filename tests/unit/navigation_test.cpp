#include <gtest/gtest.h>

#include "viewer/navigation.h"

namespace {

// Expected values are the stored floats, printed with 9 digits so that
// they read back exactly; each is checked to the bit.

TEST(Navigation, TurnAngle) {
    struct Case { int dx, dy; float angle; };
    const Case cases[] = {
        {3, 4, -0.878048778f},  // rightward: clockwise
        {-3, 4, 0.878048778f},
        {0, 10, 1.75609756f},   // straight down: counter-clockwise
        {0, -10, 1.75609756f},  // the sense follows dx alone
        // The length is rounded to a float before it is scaled; scaling
        // the unrounded root would give -0.39267534.
        {1, 2, -0.39267537f},
    };
    for (const Case& c : cases) EXPECT_EQ(turn_angle(c.dx, c.dy, 1024), c.angle) << c.dx << ", " << c.dy;
}

TEST(Navigation, ZoomFactor) {
    struct Case { int dy; float factor; };
    const Case cases[] = {
        {2100, 2.71828175f},    // down by 2100 pixels: e
        {-2100, 0.36787945f},   // up: 1/e
        {-3000, 0.239651039f},  // expf(float(dy) / 2100) gives 0.239651024
    };
    for (const Case& c : cases) EXPECT_EQ(zoom_factor(c.dy), c.factor) << c.dy;
}

TEST(Navigation, StepFromTheButtonsHeld) {
    struct Case { bool left, middle, right; NavStep step; };
    const Case cases[] = {
        {false, false, false, NavStep::none}, {true, false, false, NavStep::move},
        {false, false, true, NavStep::turn},  {true, false, true, NavStep::zoom},
        {false, true, false, NavStep::zoom},  {true, true, false, NavStep::zoom},
        {false, true, true, NavStep::zoom},   {true, true, true, NavStep::zoom},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nav_step(c.left, c.middle, c.right), c.step)
            << "left " << c.left << " middle " << c.middle << " right " << c.right;
    }
}

}  // namespace
