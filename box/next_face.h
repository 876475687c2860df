#pragma once
// Where the ball, moving along a ray inside the box, meets the box next.

#include <cstdint>
#include <ostream>

#include "box/box_table.h"

/// The face a leg ends on; `none` when the ray does not move.
enum class FaceCode : std::int32_t {
    none = 0,
    top = 1,     // y = height
    bottom = 2,  // y = 0
    front = 3,   // z = depth
    back = 4,    // z = 0
    left = 5,    // x = 0
    right = 6,   // x = width
};

/// Fills `hit` with the point where the ray's line meets the plane: t rounded
/// to float, then each coordinate base + t * direction rounded to float.
void plane_intersect(Line ray, Plane plane, Point& hit);

/// The position (1, 2 or 3) of the smallest value; ties go to the earliest.
int smallest_of_three(float u1, float u2, float u3);

/// Finds the face the ray meets first, fills `hit` with the point where it
/// meets it, prints that face's line to `out` and returns the face. A ray
/// that does not move prints nothing, leaves `hit` and returns none.
FaceCode find_next_face(Line ray, const BoxTable& t, Point& hit, std::ostream& out);
