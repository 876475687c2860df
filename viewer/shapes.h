#pragma once
// The shape records that the programs build and the viewer draws.
//
// Conventions for all geometry in this project: coordinates are stored in
// single precision; arithmetic between two stored values is done in double
// precision (write the cast: double(a) * b) and rounded to float when the
// result is stored. Built with -ffp-contract=off so no operation is fused.

#include <cstdint>

/// A colour code: one of the ten fixed colours below, or any other value,
/// which draws in whatever colour is current.
using ColourCode = std::int32_t;

namespace colour {
constexpr ColourCode red = 0;
constexpr ColourCode green = 1;
constexpr ColourCode blue = 2;
constexpr ColourCode yellow = 3;
constexpr ColourCode orange = 4;
constexpr ColourCode magenta = 5;
constexpr ColourCode cyan = 6;
constexpr ColourCode purple = 7;
constexpr ColourCode white = 8;
constexpr ColourCode black = 9;
}  // namespace colour

/// A point, or a plain 3-vector (direction, normal) whose colour is unread.
struct Point {
    float x = 0;
    float y = 0;
    float z = 0;
    ColourCode colour = colour::black;
};

/// A segment; drawing uses its own colour, not those of its ends.
struct Segment {
    Point a;
    Point b;
    ColourCode colour = colour::black;
};

/// An infinite line; `direction` is never normalised.
struct Line {
    Point base;
    Point direction;
    ColourCode colour = colour::black;
};

/// A circle in the plane z = centre.z.
struct Circle {
    Point centre;
    float radius = 0;
    ColourCode colour = colour::black;
};
