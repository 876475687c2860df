#include <gtest/gtest.h>

#include <cmath>

#include "viewer/camera.h"
#include "viewer/scene.h"

namespace {

struct XY { float x, y; };

TEST(SceneBounds, StartFromTheWindowBoxNotFromInfinity) {
    scene = Scene{};
    EXPECT_EQ(scene.bounds.low.x, 1024);
    EXPECT_EQ(scene.bounds.low.y, 700);
    EXPECT_EQ(scene.bounds.high.x, 0);
    EXPECT_EQ(scene.bounds.high.y, 0);
}

TEST(SceneBounds, GrowByEachAddedCoordinate) {
    struct Case { std::vector<XY> points; XY low, high; };
    const Case cases[] = {
        {{{2000, 800}}, {1024, 700}, {2000, 800}},
        {{{2000, 800}, {-3, 5}}, {-3, 5}, {2000, 800}},
        {{{0, 0}, {10, 10}}, {0, 0}, {10, 10}},
        {{{NAN, NAN}}, {1024, 700}, {0, 0}},
    };
    for (const Case& c : cases) {
        scene = Scene{};
        for (XY p : c.points) scene_add_point(Point{p.x, p.y, 1e30f}, colour::red);
        EXPECT_EQ(scene.bounds.low.x, c.low.x);
        EXPECT_EQ(scene.bounds.low.y, c.low.y);
        EXPECT_EQ(scene.bounds.high.x, c.high.x);
        EXPECT_EQ(scene.bounds.high.y, c.high.y);
    }
}

TEST(Scene, AddCopiesWithTheGivenColour) {
    scene = Scene{};
    scene_add_point(Point{1, 2, 3, colour::green}, colour::blue);
    Segment s{Point{-5, 1, 0, colour::red}, Point{3, 900, 0, colour::cyan}, colour::white};
    scene_add_segment(s, colour::orange);
    ASSERT_EQ(scene.points.size(), 1u);
    EXPECT_EQ(scene.points[0].colour, colour::blue);
    ASSERT_EQ(scene.segments.size(), 1u);
    EXPECT_EQ(scene.segments[0].colour, colour::orange);
    EXPECT_EQ(scene.segments[0].a.colour, colour::red);  // ends keep theirs
    EXPECT_EQ(scene.segments[0].b.y, 900);
    EXPECT_EQ(scene.bounds.low.x, -5);
    EXPECT_EQ(scene.bounds.high.y, 900);
}

TEST(Camera, PlacedFromTheBounds) {
    struct Case { XY low, high; float cx, cy, distance; };
    const Case cases[] = {
        {{1024, 700}, {0, 0}, 512, 350, 1024},  // nothing added
        {{0, 0}, {10, 10}, 5, 5, 10},
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
        EXPECT_EQ(cam.centre_x, c.cx);
        EXPECT_EQ(cam.centre_y, c.cy);
        EXPECT_EQ(cam.distance, c.distance);
    }
}

}  // namespace
