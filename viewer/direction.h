#pragma once
// Bringing a direction into a safe range without changing the path.

#include "viewer/shapes.h"

/// `d` multiplied by the power of two that puts its largest component's
/// size in [1, 2), or as near to that as keeps its smallest non-zero
/// component from shrinking out of the normal float range (where it would
/// lose bits, or become 0 and stop the ball along its axis). A zero
/// direction comes back as it is. Scaling by a power of two is exact, so
/// every t along the ray scales exactly and each hit point comes out bit
/// for bit the same, except where the unscaled arithmetic would have
/// overflowed (a tiny direction, a t beyond float) or underflowed.
Point direction_rescaled(Point d);
