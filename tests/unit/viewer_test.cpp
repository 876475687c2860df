#include <gtest/gtest.h>

#include <cmath>

#include "viewer/camera.h"
#include "viewer/gesture.h"
#include "viewer/navigation.h"
#include "viewer/pace.h"
#include "viewer/scene.h"

// The bounds start at the window's box, not at infinity; NaN and z never
// move them; a segment widens them by both its ends.
TEST(Scene, BoundsGrowByEveryPointAdded) {
    scene = Scene{};
    scene_add_point(Point{NAN, NAN}, colour::red);
    scene_add_point(Point{2000, 800, 1e30f}, colour::red);
    EXPECT_TRUE(scene.bounds.low.x == 1024 && scene.bounds.low.y == 700);
    scene_add_segment(Segment{Point{-5, 1}, Point{3, 900}}, colour::red);
    const SceneBounds& b = scene.bounds;
    EXPECT_TRUE(b.low.x == -5 && b.low.y == 1 && b.high.x == 2000 && b.high.y == 900);
}

TEST(Camera, PlacedFromTheBounds) {
    struct Case { float low, high_x, high_y, cx, cy, distance; };
    const Case cases[] = {
        {0, 2, 10, 1, 5, 10},    // 5 W == H: H is taken
        {0, 3, 10, 1.5f, 5, 3},  // 5 W > H: W, though H is larger
        {2, 10, 10, 6, 6, 12},   // |low| is added, not low subtracted
    };
    for (const Case& c : cases) {
        const Camera cam = camera_from_bounds(SceneBounds{Point{c.low, c.low}, Point{c.high_x, c.high_y}});
        EXPECT_TRUE(cam.centre_x == c.cx && cam.centre_y == c.cy && cam.distance == c.distance)
            << cam.centre_x << " " << cam.centre_y << " " << cam.distance;
    }
}

// Near 1 and far 1000, unless the plane z = 0 would fall outside them; a
// height of 0, which X11 never gives but a minimised window elsewhere does.
TEST(Camera, ClipRangeAndViewport) {
    const float distances[] = {4, 1.0000001f, 999.99994f, 1, 0.1f, 1000, 2048};
    const double nears[] = {1, 1, 1, 0.25, 0.1f / 4.0, 250, 512};  // in double, from the float
    for (int k = 0; k < 7; ++k) {
        const ClipRange r = clip_range(distances[k]);
        EXPECT_TRUE(r.near_distance == nears[k] && r.far_distance == nears[k] * 1000) << distances[k];
    }
    const Viewport v = viewport_for(1024, 0);
    EXPECT_TRUE(v.width == 1024 && v.height == 1 && v.aspect == 1024);
    EXPECT_EQ(viewport_for(1024, 700).aspect, float(1024.0 / 700));
}

// Angles and factors are the stored floats, to the bit.
TEST(Navigation, TurnZoomAndTheButtons) {
    EXPECT_EQ(turn_angle(3, 4, 1024), -0.878048778f);  // rightward: clockwise
    EXPECT_EQ(turn_angle(0, 10, 1024), 1.75609756f);   // straight down: counter-clockwise
    EXPECT_EQ(turn_angle(0, -10, 1024), 1.75609756f);  // the sense follows dx alone
    EXPECT_EQ(turn_angle(1, 2, 1024), -0.39267537f);   // the length is rounded to a float first
    EXPECT_EQ(zoom_factor(2100), 2.71828175f);
    EXPECT_EQ(zoom_factor(-3000), 0.239651039f);  // expf(float(dy) / 2100) gives 0.239651024
    // Index k holds left (bit 0), middle (bit 1) and right (bit 2).
    const NavStep steps[8] = {NavStep::none, NavStep::move, NavStep::zoom, NavStep::zoom,
                              NavStep::turn, NavStep::zoom, NavStep::zoom, NavStep::zoom};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(nav_step(k & 1, k & 2, k & 4), steps[k]) << k;
}

// Two fingers' spread and turn as whole pixels of drag, the fractions carried
// to the next move, a turn through the vertical counted the short way.
TEST(Gesture, TwoFingers) {
    struct Move { Finger a, b; int zoom_dy, turn_dx; };
    const Move moves[] = {
        {{-145, 0}, {145, 0}, 210, 0},      // 210 closer: 210 down, shrinking
        {{-250, 0}, {250, 0}, -210, 0},     // and apart again
        {{-200, -150}, {200, 150}, 0, 210},  // atan(3/4) clockwise: 209.95 pixels
        {{-250.2, 0}, {250.2, 0}, 0, -210},  // back, 0.4 apart: nothing yet
        {{-250.6, 0}, {250.6, 0}, -1, 0},    // 1.2 apart in all: one pixel
        {{250, -1}, {-250, 1}, 1, 1024},     // nearly half a turn clockwise
        {{250, 1}, {-250, -1}, 0, 2},        // on through the vertical, not back
    };
    Pinch p = pinch_start(Finger{-250, 0}, Finger{250, 0});
    for (const Move& m : moves) {
        Drag zoom, turn;
        pinch_move(p, m.a, m.b, 1024, zoom, turn);
        EXPECT_TRUE(zoom.button == 1 && zoom.dx == 0 && zoom.dy == m.zoom_dy) << zoom.dy;
        EXPECT_TRUE(turn.button == 2 && turn.dy == 0 && turn.dx == m.turn_dx) << turn.dx;
    }
}

// A frame each period after the last was due, however late it was drawn
// within it; after a frame slower than the period, the next at once.
TEST(Pace, NextFrameDue) {
    const double cases[][3] = {{0, 1, 1000.0 / 60}, {0, 16.6, 1000.0 / 60}, {0, 17, 17}, {40, 900, 900}};
    for (const auto& c : cases) EXPECT_EQ(next_frame_due(c[0], c[1]), c[2]) << c[0] << " " << c[1];
}
