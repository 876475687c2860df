#pragma once
// The one process-wide scene: the shapes to show, the bounds the camera is
// placed from, and the camera and mouse state the window routines share.

#include <cstdint>
#include <vector>

#include "viewer/shapes.h"

/// Running minimum (low) and maximum (high) of the x and y of every point
/// and segment end added. Deliberately not started at +-infinity but at
/// low (1024, 700) and high (0, 0): the x range always reaches from at most
/// 1024 to at least 0, and the y range from at most 700 to at least 0.
struct SceneBounds {
    Point low{1024, 700, 0};
    Point high{0, 0, 0};
};

struct Scene {
    std::vector<Point> points;
    std::vector<Segment> segments;
    std::vector<Line> lines;      // nothing adds to it; drawn all the same
    std::vector<Circle> circles;  // likewise
    SceneBounds bounds;

    Point picked;  // near-plane point under the mouse at the last press
    float centre_x = 0;
    float centre_y = 0;
    float distance = 0;
    std::int32_t last_x = 0;
    std::int32_t last_y = 0;
    bool left_down = false;
    bool right_down = false;
    bool middle_down = false;
};

/// The scene. The window toolkit's routines take no user data, so they
/// reach it here. Tests may reset it with `scene = Scene{}`.
extern Scene scene;

/// Stores a copy of `p` with colour `c` and widens the bounds by its x, y.
void scene_add_point(Point p, ColourCode c);

/// Stores a copy of `s` with its own colour set to `c` (its ends keep
/// theirs) and widens the bounds by end a, then end b.
void scene_add_segment(Segment s, ColourCode c);

/// Widens the bounds to take in (x, y); NaN changes nothing.
void grow_bounds(float x, float y);
