#pragma once
// Where two lines cross. Only x and y of a crossing are computed; the
// tolerance test alone also looks at z.

#include "viewer/shapes.h"

/// What line_intersect found; only `point` writes the crossing.
namespace crossing {
constexpr int apart = 0;  // parallel, apart
constexpr int point = 1;  // one crossing point
constexpr int same = 2;   // parallel, the same line
constexpr int skew = 3;   // not in one plane
}  // namespace crossing

/// Classifies lines `a` and `b` with a relative tolerance and, for
/// crossing::point only, writes their crossing's x and y into `out`.
int line_intersect(Line a, Line b, Point& out);

/// Writes the x and y of the point where `a` meets `b`, with no tolerance:
/// false, and `out` untouched, only if their directions are exactly parallel
/// in the plane.
bool line_crossing(Line a, Line b, Point& out);
