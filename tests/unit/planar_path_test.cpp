#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <random>
#include <vector>

#include "planar/line_intersect.h"
#include "planar/planar_path.h"
#include "property_cases.h"
#include "viewer/scene.h"

namespace {

struct XY { float x, y; };

RectTable table(float w, float h) {
    RectTable t;
    rect_table_set(t, w, h);
    return t;
}

void trace(RectTable t, XY start, XY d, int bounces) {
    scene = Scene{};
    trace_planar_path(Line{Point{start.x, start.y}, Point{d.x, d.y}}, bounces, t);
}

TEST(LineIntersect, ResultCodesAndWhatIsWritten) {
    const Point untouched{7, 7, 7};
    struct Case { Point p1, u, p2, v; int code; XY out; };
    const Case cases[] = {
        {{1, 0}, {1, 1}, {4, 0}, {0, 1}, crossing::point, {4, 3}},
        {{0, 1}, {1, 0}, {0, 0}, {1, 0}, crossing::apart, {7, 7}},
        {{0, 0}, {2, 0}, {3, 0}, {-1, 0}, crossing::same, {7, 7}},
        {{0, 0, 1}, {1, 0}, {0, 0}, {0, 1}, crossing::skew, {7, 7}},
        // Within the tolerance: called parallel although the lines cross.
        {{1, 1}, {1, 0.001f}, {4, 2}, {-1, 0}, crossing::apart, {7, 7}},
    };
    for (const Case& c : cases) {
        Point out = untouched;
        EXPECT_EQ(line_intersect(Line{c.p1, c.u}, Line{c.p2, c.v}, out), c.code);
        EXPECT_TRUE(out.x == c.out.x && out.y == c.out.y && out.z == 7) << out.x << "," << out.y;
    }
    Point out;  // line_crossing refuses only exactly parallel lines
    EXPECT_FALSE(line_crossing(Line{{0, 1}, {1, 0}}, Line{{0, 0}, {-3, 0}}, out));
}

TEST(CornerKind, ExactCornersOnly) {
    const RectTable t = table(4, 2);
    struct Case { Point p; int kind; };
    const Case cases[] = {
        {{0, 0}, 1}, {{4, 2}, 1}, {{4, 0}, 2}, {{0, 2}, 2}, {{-0.f, 0}, 1},
        {{4, 1}, 0}, {{std::nextafter(4.f, 5.f), 2}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(corner_kind(t, c.p), c.kind) << c.p.x << "," << c.p.y;
}

// Every leg's end on the 4 x 2 table; each leg starts where the last ended.
TEST(TracePlanarPath, KnownPaths) {
    struct Case { XY start, d; int bounces; std::vector<XY> ends; };
    const Case cases[] = {
        {{1, 0}, {1, 1}, 3, {{3, 2}, {4, 1}, {3, 0}}},
        {{2, 0}, {1, 1}, 2, {{4, 2}, {2, 0}}},             // corner, tie to the top
        {{1, 1}, {2, 2}, 3, {{2, 2}, {4, 0}, {2, 2}}},
        {{0, 1}, {4, 1}, 2, {{4, 2}, {3.5f, 0}}},          // (-dy, -dx), not reversed
        {{1, 1}, {0, 1}, 3, {{1, 2}, {1, 0}, {1, 2}}},
        {{1, 1}, {1, 0}, 2, {{4, 1}, {0, 1}}},
        {{0, 1}, {0, 1}, 3, {{0, 2}, {4, 2}, {4, 0}}},     // along the border
        {{0, 1}, {-1, 1}, 2, {{0, 1}, {1, 2}}},            // heading out: zero leg
        {{0, 0}, {-1, -1}, 2, {{0, 0}, {2, 2}}},
        {{4, 0}, {1, 1}, 3, {{4, 0}, {4, 0}, {4, 0}}},     // stuck in the corner
        {{1, 1}, {-0.f, -1}, 1, {{1, 0}}},                 // -0 counts as 0
        {{1, 1}, {1, 1}, 0, {}},
        {{1, 1}, {1, 1}, -5, {}},
        {{1, 1}, {0, 0}, 3, {}},                           // never moves
        // Within about 0.18 degrees of a side the tolerance of line_intersect
        // would call the ray parallel to the walls along that side; the leg
        // must still reach the wall ahead, not the origin.
        {{1, 1}, {1, 0.001f}, 1, {{4, 1.003f}}},
        {{1, 1}, {0.001f, 1}, 1, {{1.001f, 2}}},
        {{3, 1}, {-1, -1e-6f}, 1, {{0, 0.999997f}}},
        {{3, 1}, {1e-7f, -1}, 1, {{3, 0}}},
        {{0.5f, 2}, {-1, 1e-9f}, 1, {{0.5f, 2}}},          // on the top wall heading out
    };
    for (const Case& c : cases) {
        trace(table(4, 2), c.start, c.d, c.bounces);
        ASSERT_EQ(scene.segments.size(), c.ends.size());
        XY from = c.start;
        for (size_t i = 0; i < c.ends.size(); ++i) {
            const Segment& s = scene.segments[i];
            EXPECT_EQ(s.colour, colour::red);
            EXPECT_TRUE(s.a.x == from.x && s.a.y == from.y && s.b.z == 0);
            EXPECT_TRUE(s.b.x == c.ends[i].x && s.b.y == c.ends[i].y)
                << "leg " << i << " from (" << c.start.x << "," << c.start.y << "): ("
                << s.b.x << "," << s.b.y << ")";
            from = c.ends[i];
        }
    }
}

// Each of these meets a corner exactly only because w (first case) or t
// (second) is rounded to float; in exact or double arithmetic the first leg
// ends just beside the corner and the path turns the other way.
TEST(TracePlanarPath, SinglePrecisionRoundingFindsTheCorner) {
    struct Case { XY size, start, d, corner; bool x_wall; float wall; };
    const Case cases[] = {
        {{1, 0.4f}, {0.4f, 0.1f}, {0.6f, -0.1f}, {1, 0}, false, 0.4f},
        {{2, 3.9f}, {1.2f, 2.7f}, {0.6f, 0.9f}, {2, 3.9f}, true, 0},
    };
    for (const Case& c : cases) {
        trace(table(c.size.x, c.size.y), c.start, c.d, 2);
        ASSERT_EQ(scene.segments.size(), 2u);
        EXPECT_TRUE(scene.segments[0].b.x == c.corner.x && scene.segments[0].b.y == c.corner.y);
        const Point end = scene.segments[1].b;
        EXPECT_NEAR(c.x_wall ? end.x : end.y, c.wall, 1e-6);
    }
}

struct Path { float w, h; XY start, d; int bounces; };

// Directions whose t would overflow a float unless the tracer rescales them,
// and tables near the largest float.
const Path extreme_paths[] = {
    {4, 2, {1, 1}, {1e-39f, 1e-39f}, 20},  {4, 2, {1, 1}, {1e-45f, 3e-45f}, 20},
    {4, 2, {1, 1}, {3e38f, -1e38f}, 20},   {4, 2, {1, 1}, {1, 1e-38f}, 20},
    {3e38f, 1e38f, {1, 1}, {1, 0.5f}, 20}, {3e38f, 1, {0, 0.5f}, {1, 1}, 20},
};

// N bounces give N legs, each starting where the last ended and ending on
// the border, within the table (give or take a rounding step of its larger
// size) and never NaN.
void check_path(const Path& r, int run) {
    trace(table(r.w, r.h), r.start, r.d, r.bounces);
    ASSERT_EQ(scene.segments.size(), size_t(r.bounces));
    const double tol = 2 * FLT_EPSILON * std::max(r.w, r.h);
    Point from{r.start.x, r.start.y};
    for (const Segment& s : scene.segments) {
        ASSERT_TRUE(s.a.x == from.x && s.a.y == from.y);
        const double x = s.b.x, y = s.b.y;
        ASSERT_FALSE(std::isnan(x) || std::isnan(y));
        ASSERT_TRUE(x >= -tol && x <= r.w + tol && y >= -tol && y <= r.h + tol)
            << "run " << run << ": (" << x << "," << y << ") off the table";
        const double border = std::min({std::fabs(x), std::fabs(x - r.w), std::fabs(y), std::fabs(y - r.h)});
        ASSERT_LE(border, tol) << "run " << run;
        from = s.b;
    }
}

TEST(TracePlanarPath, PropertiesOnRandomTables) {
    for (const Path& r : extreme_paths) {
        check_path(r, -1);
        if (HasFatalFailure()) return;
    }
    std::mt19937 gen(20261206);
    std::uniform_real_distribution<float> unit(0, 1);
    auto spread = [&](float lo2, float hi2) { return std::exp2(lo2 + unit(gen) * (hi2 - lo2)); };
    const int runs = property_cases(300);
    for (int run = 0; run < runs; ++run) {
        Path r{spread(-8, 10), spread(-8, 10), {}, {}, 0};
        r.start = {unit(gen) * r.w, unit(gen) * r.h};
        if (run % 4 == 0) r.start.x = run % 8 ? r.w : 0;  // on a side
        const float angle = unit(gen) * 6.2831853f;
        XY d{std::cos(angle), std::sin(angle)};
        if (run % 3 == 0) {  // near an axis, down to 2^-40 of the other component
            float& small = run % 2 ? d.x : d.y;
            small = std::copysign(spread(-40, -8), small);
        }
        const float scale = spread(-10, 10);
        r.d = {d.x * scale, d.y * scale};
        r.bounces = int(unit(gen) * (runs > 300 ? 300 : 3000));
        check_path(r, run);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
