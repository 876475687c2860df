#pragma once
// trakflat's questions: the table, the start point, the direction and the
// number of bounces.

#include <cstdint>

#include "planar/rect_table.h"

/// The answers of one dialogue. start and direction have z = 0.
struct FlatAnswers {
    RectTable table;
    Point start;
    Point direction;
    std::int32_t bounces = 0;
};

/// Runs the whole dialogue. False if the input ends before it is done.
bool flat_dialogue(Console& c, FlatAnswers& a);
