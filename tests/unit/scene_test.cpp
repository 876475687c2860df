#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "viewer/camera.h"
#include "viewer/scene.h"

namespace {

struct XY { float x, y; };

// The bounds start at the window's box, not at infinity: NaN, and points
// inside that box, leave them as they start.
TEST(SceneBounds, GrowByEachAddedCoordinate) {
    struct Case { std::vector<XY> points; XY low, high; };
    const Case cases[] = {
        {{{NAN, NAN}}, {1024, 700}, {0, 0}},
        {{{2000, 800}}, {1024, 700}, {2000, 800}},
        {{{2000, 800}, {-3, 5}}, {-3, 5}, {2000, 800}},
        {{{0, 0}, {10, 10}}, {0, 0}, {10, 10}},
    };
    for (const Case& c : cases) {
        scene = Scene{};
        for (XY p : c.points) scene_add_point(Point{p.x, p.y, 1e30f}, colour::red);
        const SceneBounds& b = scene.bounds;
        EXPECT_TRUE(b.low.x == c.low.x && b.low.y == c.low.y && b.high.x == c.high.x &&
                    b.high.y == c.high.y) << c.points.size() << " points, first x " << c.points[0].x;
    }
}

TEST(Scene, AddCopiesWithTheGivenColour) {
    scene = Scene{};
    scene_add_point(Point{1, 2, 3, colour::green}, colour::blue);
    scene_add_segment(Segment{Point{-5, 1, 0, colour::red}, Point{3, 900, 0}, colour::white},
                      colour::orange);
    ASSERT_TRUE(scene.points.size() == 1 && scene.segments.size() == 1);
    EXPECT_TRUE(scene.points[0].colour == colour::blue && scene.segments[0].colour == colour::orange);
    EXPECT_EQ(scene.segments[0].a.colour, colour::red);  // ends keep theirs
    EXPECT_TRUE(scene.bounds.low.x == -5 && scene.bounds.high.y == 900);  // both ends count
}

TEST(Camera, PlacedFromTheBounds) {
    struct Case { XY low, high; float cx, cy, distance; };
    const Case cases[] = {
        {{1024, 700}, {0, 0}, 512, 350, 1024},  // nothing added
        {{0, 0}, {2, 10}, 1, 5, 10},    // 5 W == H: H is taken
        {{0, 0}, {3, 10}, 1.5f, 5, 3},  // 5 W > H: W, though H is larger
        {{-5, -5}, {5, 5}, 0, 0, 10},
        {{2, 2}, {10, 10}, 6, 6, 12},   // |low| is added, not low subtracted
    };
    for (const Case& c : cases) {
        SceneBounds b;
        b.low = Point{c.low.x, c.low.y, 0};
        b.high = Point{c.high.x, c.high.y, 0};
        const Camera cam = camera_from_bounds(b);
        EXPECT_TRUE(cam.centre_x == c.cx && cam.centre_y == c.cy && cam.distance == c.distance)
            << cam.centre_x << " " << cam.centre_y << " " << cam.distance;
    }
}

// Near 1 and far 1000 unless the plane z = 0 would fall outside them; then
// a quarter of the distance and 250 times it, as for a distance of 4.
TEST(Camera, ClipRangeKeepsThePlaneInView) {
    struct Case { float distance; double near_distance, far_distance; };
    const Case cases[] = {
        {4, 1, 1000}, {1.0000001f, 1, 1000}, {999.99994f, 1, 1000},
        {1, 0.25, 250}, {0.5f, 0.125, 125}, {1000, 250, 250000}, {2048, 512, 512000},
        {0.1f, 0.1f / 4.0, 250 * double(0.1f)},  // in double, from the float
    };
    for (const Case& c : cases) {
        const ClipRange r = clip_range(c.distance);
        EXPECT_TRUE(r.near_distance == c.near_distance && r.far_distance == c.far_distance) << c.distance;
    }
}

TEST(Camera, ViewportTakesAHeightOfZeroAsOne) {
    const Viewport v = viewport_for(1024, 0);
    EXPECT_TRUE(v.width == 1024 && v.height == 1 && v.aspect == 1024);
    EXPECT_EQ(viewport_for(1024, 700).aspect, float(1024.0 / 700));
}

}  // namespace
