#pragma once
// The ball's path inside the box.

#include <cstdint>
#include <ostream>

#include "box/box_table.h"

/// What a hit point lies on: a face only, an edge, or a corner.
enum class PointKind : std::int32_t { face = 1, edge = 2, corner = 3 };

/// Judges `p` by exact comparison of its coordinates with 0 and the sizes.
PointKind box_point_kind(const BoxTable& t, Point p);

/// Traces up to `bounces` legs of the path from `leg_start` along `ray`
/// (whose base is `leg_start`): prints each leg's face line to `out`, adds
/// the leg to the scene in red, and ends the path with a message at a hit on
/// an edge or a corner. Nothing for a count of 0 or less or a zero direction.
void trace_box_path(Line ray, BoxTable t, std::int32_t bounces, Point leg_start, std::ostream& out);
