#include "viewer/direction.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

Point direction_rescaled(Point d) {
    const float size[3] = {std::fabs(d.x), std::fabs(d.y), std::fabs(d.z)};
    const float largest = std::max({size[0], size[1], size[2]});
    if (largest == 0 || !std::isfinite(largest)) return d;
    float smallest = largest;
    for (float s : size) {
        if (s != 0 && s < smallest) smallest = s;
    }
    int shift = -std::ilogb(largest);
    // Scaling down stops where the smallest component would leave the normal
    // range; one that is already below it is not scaled down at all.
    const int lowest = (FLT_MIN_EXP - 1) - std::ilogb(smallest);
    if (shift < 0) shift = std::max(shift, std::min(lowest, 0));
    d.x = std::ldexp(d.x, shift);
    d.y = std::ldexp(d.y, shift);
    d.z = std::ldexp(d.z, shift);
    return d;
}
