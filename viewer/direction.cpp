#include "viewer/direction.h"

#include <algorithm>
#include <cmath>

Point direction_rescaled(Point d) {
    const float largest = std::max({std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)});
    if (largest == 0 || !std::isfinite(largest)) return d;
    const int shift = -std::ilogb(largest);
    d.x = std::ldexp(d.x, shift);
    d.y = std::ldexp(d.y, shift);
    d.z = std::ldexp(d.z, shift);
    return d;
}
