#pragma once
// The questions both programs ask, with the checks on their answers. Each
// returns false when the input ends before it has an answer.

#include "console/console.h"
#include "viewer/shapes.h"

/// The highest bounce count taken: the path of each bounce is kept in
/// memory and drawn on every frame.
constexpr std::int64_t max_bounce_count = 1000000;

/// Asks a table size until it is above zero.
bool ask_size(Console& c, const char* prompt, float& size);

/// Asks the start point's coordinates on `axes` (2: x, y; 3: x, y, z) until
/// each lies in [0, size]. A refused x brings back the heading; a refused y
/// or z only its own prompt.
bool ask_start_point(Console& c, const float size[], int axes, Point& start);

/// Asks the direction's components on `axes` axes until one is not zero.
bool ask_direction(Console& c, int axes, Point& direction);

/// Asks the number of bounces until it is at most max_bounce_count. Zero
/// and negative counts of any size are taken (they trace no path); those
/// below the 32-bit range are stored as its lowest value.
bool ask_bounce_count(Console& c, std::int32_t& count);
