#include "viewer/camera.h"

#include <cmath>

Camera camera_from_bounds(SceneBounds b) {
    Camera c;
    c.centre_x = float((double(b.high.x) + b.low.x) * 0.5);
    c.centre_y = float((double(b.high.y) + b.low.y) * 0.5);
    const double w = double(b.high.x) + std::fabs(double(b.low.x));
    const double h = double(b.high.y) + std::fabs(double(b.low.y));
    c.distance = float(5 * w > h ? w : h);
    return c;
}

ClipRange clip_range(float distance) {
    if (distance > 1 && distance < 1000) return ClipRange{};
    return ClipRange{double(distance) / 4, 250 * double(distance)};
}

Viewport viewport_for(int w, int h) {
    if (h == 0) h = 1;
    return Viewport{w, h, float(double(w) / h)};
}
