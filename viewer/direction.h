#pragma once
// Bringing a direction into a safe range without changing the path.

#include "viewer/shapes.h"

/// `d` multiplied by the power of two that puts its largest component's
/// size in [1, 2); a zero direction as it is. Scaling by a power of two is
/// exact, so every t along the ray scales exactly and each hit point comes
/// out bit for bit the same, except where the unscaled arithmetic would
/// have overflowed (a tiny direction, a t beyond float) or underflowed.
Point direction_rescaled(Point d);
