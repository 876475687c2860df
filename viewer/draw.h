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

/// The stretch base +- 100 direction.
void draw_line(const Line& l);

/// A closed loop of 100 vertices, counter-clockwise from the +x side.
void draw_circle(const Circle& c);
