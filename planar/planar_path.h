#pragma once
// The ball's path on the rectangular table.

#include <cstdint>

#include "planar/rect_table.h"

/// What corner_kind reports: the corners come in two pairs because a ball
/// is turned differently at each pair.
namespace corner {
constexpr int none = 0;
constexpr int lower_left_or_upper_right = 1;
constexpr int lower_right_or_upper_left = 2;
}  // namespace corner

/// Wall number (1 bottom, 2 right, 3 top, 4 left) that `ray` meets first;
/// writes the x and y of the meeting point into `hit`.
int find_next_wall(Line ray, RectTable t, Point& hit);

/// Which corner p is, comparing x and y exactly; corner::none if none.
int corner_kind(RectTable t, Point p);

/// Adds `bounces` legs of the path that starts with `ray` to the scene, in
/// red and in path order. Nothing for a count of 0 or less, or a zero
/// direction.
void trace_planar_path(Line ray, std::int32_t bounces, RectTable t);
