#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "box/box_path.h"
#include "planar/planar_path.h"
#include "viewer/direction.h"
#include "viewer/scene.h"

namespace {

TEST(DirectionRescaled, ByAPowerOfTwoIntoOneToTwo) {
    struct Case { Point in, out; };
    const Case cases[] = {
        {{1, 1, 0}, {1, 1, 0}},
        {{3, -0.5f, 0}, {1.5f, -0.25f, 0}},
        {{0, 0, -1e-45f}, {0, 0, -1}},  // the smallest subnormal: 2^-149
        {{0x1p100f, 0x1p-40f, 0}, {1, 0x1p-140f, 0}},
        {{0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases) {
        const Point r = direction_rescaled(c.in);
        EXPECT_EQ(r.x, c.out.x);
        EXPECT_EQ(r.y, c.out.y);
        EXPECT_EQ(r.z, c.out.z);
    }
}

bool finite(const Point& p) {
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Whether v lies at 0 or at size, allowing the few units in the last place
// of the largest size by which rounding may miss a border.
bool at_bound(float v, float size, float largest) {
    const float tol = 4 * std::ldexp(1.0f, std::ilogb(largest) - 23);
    return std::fabs(v) <= tol || std::fabs(double(v) - size) <= tol;
}

// Directions whose t would overflow a float, and tables near the largest
// float: every leg must still end on the border, never at infinity.
TEST(ExtremeValues, PlanarLegsStayFiniteOnTheBorder) {
    struct Case { float w, h; Point start, direction; };
    const Case cases[] = {
        {4, 2, {1, 1, 0}, {1e-39f, 1e-39f, 0}},
        {4, 2, {1, 1, 0}, {1e-45f, 3e-45f, 0}},
        {4, 2, {1, 1, 0}, {3e38f, -1e38f, 0}},
        {4, 2, {1, 1, 0}, {1, 1e-38f, 0}},
        {3e38f, 1e38f, {1, 1, 0}, {1, 0.5f, 0}},
        {3e38f, 1, {0, 0.5f, 0}, {1, 1, 0}},
    };
    for (const Case& c : cases) {
        scene = Scene{};
        RectTable t;
        rect_table_set(t, c.w, c.h);
        trace_planar_path(Line{c.start, c.direction}, 20, t);
        ASSERT_EQ(scene.segments.size(), 20u);
        for (const Segment& s : scene.segments) {
            ASSERT_TRUE(finite(s.b)) << c.w << " " << c.direction.x << " " << c.direction.y;
            const float largest = std::fmax(c.w, c.h);
            EXPECT_TRUE(at_bound(s.b.x, c.w, largest) || at_bound(s.b.y, c.h, largest))
                << s.b.x << " " << s.b.y;
        }
    }
}

TEST(ExtremeValues, BoxLegsStayFiniteOnTheFaces) {
    struct Case { float w, h, d; Point start, direction; };
    const Case cases[] = {
        {4, 3, 2, {1, 1, 1}, {1e-45f, 0, 0}},
        {4, 3, 2, {1, 1, 1}, {1e-39f, 2e-39f, -1e-39f}},
        {4, 3, 2, {1, 1, 1}, {1, 1e-40f, 1}},
        {4, 3, 2, {1, 1, 1}, {3e38f, 1, -2e38f}},
        {3e38f, 3e38f, 1, {1, 1, 0.5f}, {1, 0.5f, 0.25f}},
    };
    for (const Case& c : cases) {
        scene = Scene{};
        BoxTable t;
        box_table_set(t, c.w, c.h, c.d);
        std::ostringstream out;
        trace_box_path(Line{c.start, c.direction}, t, 20, c.start, out);
        ASSERT_FALSE(scene.segments.empty());
        EXPECT_EQ(out.str().find("inf"), std::string::npos) << out.str();
        EXPECT_EQ(out.str().find("nan"), std::string::npos) << out.str();
        for (const Segment& s : scene.segments) {
            ASSERT_TRUE(finite(s.b)) << out.str();
            const float largest = std::fmax(c.w, std::fmax(c.h, c.d));
            EXPECT_TRUE(at_bound(s.b.x, c.w, largest) || at_bound(s.b.y, c.h, largest) ||
                        at_bound(s.b.z, c.d, largest))
                << "a hit on no face: " << out.str();
        }
    }
}

}  // namespace
