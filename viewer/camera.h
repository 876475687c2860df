#pragma once
// Where the first view looks from, worked out from the scene's bounds.

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
