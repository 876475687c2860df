#include "viewer/navigation.h"

#include <cmath>
#include <cstdint>

NavStep nav_step(bool left_down, bool middle_down, bool right_down) {
    if (middle_down) return NavStep::zoom;
    if (left_down && right_down) return NavStep::zoom;
    if (left_down) return NavStep::move;
    if (right_down) return NavStep::turn;
    return NavStep::none;
}

float turn_angle(int dx, int dy, int viewport_width) {
    // The squared length is summed in integers (64 bits, so no window is
    // large enough to overflow it); the length is stored as a float before
    // it is scaled, which the angle's last bit depends on.
    const std::int64_t sq = std::int64_t(dx) * dx + std::int64_t(dy) * dy;
    const float length = float(std::sqrt(double(sq)));
    float angle = float(double(length) / (double(viewport_width) + 1) * 180);
    if (dx > 0) angle = -angle;
    return angle;
}

float zoom_factor(int dy) { return float(std::exp(double(dy) / 2100)); }
