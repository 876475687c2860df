#pragma once
// trakbox's questions: the box, the start point, the direction and the
// number of bounces.

#include <cstdint>

#include "box/box_table.h"

/// The answers of one dialogue.
struct BoxAnswers {
    BoxTable table;
    Point start;
    Point direction;
    std::int32_t bounces = 0;
};

/// Runs the whole dialogue. False if the input ends before it is done.
bool box_dialogue(Console& c, BoxAnswers& a);
