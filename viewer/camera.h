#pragma once
// Where the first view looks from, worked out from the scene's bounds, and
// the projection the window sets up around it.

#include "viewer/scene.h"

struct Camera {
    float centre_x = 0;
    float centre_y = 0;
    float distance = 0;
};

/// The view centre is the middle of the bounds. The distance is the width
/// W = high.x + |low.x| unless 5 W <= H = high.y + |low.y|, when it is H.
/// W and H add |low| rather than subtract low: a table at the origin then
/// measures its true size, and one off it looks farther away.
Camera camera_from_bounds(SceneBounds b);

/// The near and far clipping distances of the projection.
struct ClipRange {
    double near_distance = 1;
    double far_distance = 1000;
};

/// 1 and 1000, unless the view's distance is at most 1 or at least 1000:
/// the plane z = 0 would then lie outside them and nothing would show, so
/// they become distance / 4 and 250 distance, which are 1 and 1000 for a
/// distance of 4. A table scaled by a power of two is then seen exactly as
/// the one it scales.
ClipRange clip_range(float distance);

/// The viewport and aspect ratio for a window of w x h pixels.
struct Viewport {
    int width = 0;
    int height = 0;
    float aspect = 1;  // width / height, stored as a float
};

/// A height of 0 (a minimised window, on some systems) is taken as 1.
Viewport viewport_for(int w, int h);
