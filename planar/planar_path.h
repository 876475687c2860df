#pragma once
// The ball's path on the rectangular table.

#include <cstdint>

#include "planar/rect_table.h"

/// Adds `bounces` legs of the path that starts with `ray` to the scene, in
/// red and in path order. Nothing for a count of 0 or less.
void trace_planar_path(Line ray, std::int32_t bounces, RectTable t);
