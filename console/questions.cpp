#include "console/questions.h"

#include <algorithm>

namespace {

const char* const axis_prompt[3] = {"x= ", "y= ", "z= "};
const char* const off_table = "Unesite koordinate koje pripadaju stolu\n ";

float& component(Point& p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

}  // namespace

bool ask_size(Console& c, const char* prompt, float& size) {
    for (;;) {
        if (!console_read_float(c, prompt, size)) return false;
        if (size > 0) return true;
        c.out << "Unesite pozitivan broj\n";
    }
}

bool ask_start_point(Console& c, const float size[], int axes, Point& start) {
    c.heading = "Unesi koordinate pocetne tacke";
    int axis = 0;
    while (axis < axes) {
        if (axis == 0) c.out << c.heading << "\n";
        float& v = component(start, axis);
        if (!console_read_float(c, axis_prompt[axis], v)) return false;
        if (v < 0 || v > size[axis]) {
            c.out << off_table;
            continue;  // same axis again; for x that repeats the heading
        }
        ++axis;
    }
    c.heading = "";
    return true;
}

bool ask_direction(Console& c, int axes, Point& direction) {
    c.heading = "Unesi pravac pocetne tacke";
    for (;;) {
        c.out << c.heading << "\n";
        bool all_zero = true;
        for (int axis = 0; axis < axes; ++axis) {
            float& v = component(direction, axis);
            if (!console_read_float(c, axis_prompt[axis], v)) return false;
            if (v != 0) all_zero = false;
        }
        if (!all_zero) {
            c.heading = "";
            return true;
        }
        c.out << "Unesite pravac razlicit od nule\n";
    }
}

bool ask_bounce_count(Console& c, std::int32_t& count) {
    for (;;) {
        std::int64_t n = 0;
        if (!console_read_int(c, "Unesi broj odbijanja \n", n)) return false;
        if (n <= max_bounce_count) {
            // Every count at or below zero means no path, however large.
            count = std::int32_t(std::max<std::int64_t>(n, INT32_MIN));
            return true;
        }
        c.out << "Broj odbijanja moze biti najvise 1000000\n";
    }
}
