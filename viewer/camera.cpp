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
