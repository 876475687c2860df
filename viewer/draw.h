#pragma once
// Drawing the shapes with OpenGL immediate-mode calls into the current
// window. Nothing here touches the scene.

#include "viewer/shapes.h"

/// Sets the current GL colour to code c; codes outside 0..9 leave it as is.
void apply_colour(ColourCode c);

/// A 4-pixel dot.
void draw_point(const Point& p);

/// A line with a 4-pixel dot at each end, all in the segment's colour.
void draw_segment(const Segment& s);

#ifdef __EMSCRIPTEN__
#include <vector>

/// The segments in order, as draw_segment draws each, but in batches of a
/// run of one colour code, its lines and then its dots: the same pixels,
/// since nothing of another colour comes between, in two GL draws a batch
/// of up to 8192 segments instead of two a segment, which a browser's GL
/// makes slow.
void draw_segments(const std::vector<Segment>& segments);
#endif

/// The stretch base +- 100 direction.
void draw_line(const Line& l);

/// A closed loop of 100 vertices, counter-clockwise from the +x side.
void draw_circle(const Circle& c);
