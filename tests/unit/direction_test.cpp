#include <gtest/gtest.h>

#include "viewer/direction.h"

// What the rescaling is for, legs that stay finite whatever the direction's
// size, is checked by the path property tests.

namespace {

TEST(DirectionRescaled, ByAPowerOfTwoIntoOneToTwo) {
    struct Case { Point in, out; };
    const Case cases[] = {
        {{3, -0.5f, 0}, {1.5f, -0.25f, 0}},
        {{0, 0, -1e-45f}, {0, 0, -1}},  // the smallest subnormal: 2^-149
        {{0x1p100f, 0x1p-40f, 0}, {1, 0x1p-140f, 0}},
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Point r = direction_rescaled(c.in);
        EXPECT_TRUE(r.x == c.out.x && r.y == c.out.y && r.z == c.out.z) << r.x << " " << r.y << " " << r.z;
    }
}

}  // namespace
