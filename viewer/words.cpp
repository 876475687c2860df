#include "viewer/words.h"

#include <cstdio>

namespace {

// The first `axes` coordinates, "%f" each, between them `between`; each named ("x= 1.000000")
// if `named`.
std::string coordinates(Point p, int axes, const char* between = " ", bool named = false) {
    const float v[3] = {p.x, p.y, p.z};
    std::string text;
    for (int i = 0; i < axes; ++i) {
        char number[64];
        std::snprintf(number, sizeof number, "%f", double(v[i]));
        text += (i ? between : "") + (named ? std::string(1, "xyz"[i]) + "= " : "") + number;
    }
    return text;
}

}  // namespace

PictureWords picture_words(const std::vector<Segment>& segments, const float size[], int axes,
                           Point start, Point direction, std::size_t most) {
    PictureWords w;
    w.ends = coordinates(start, axes, " ", true) + "\n";
    std::size_t legs = 0;
    Point last = start;
    for (const Segment& s : segments) {
        if (s.colour != colour::red) continue;
        last = s.b;
        if (++legs > most) continue;
        w.ends += coordinates(s.b, axes, " ", true) + "\n";
    }
    const Point table{size[0], size[1], axes > 2 ? size[2] : 0.0f};
    w.name = "Sto " + coordinates(table, axes, " x ") + ", pocetna tacka " +
             coordinates(start, axes) + ", pravac " + coordinates(direction, axes) +
             ", broj deonica putanje: " + std::to_string(legs) + ", kraj putanje " +
             coordinates(last, axes);
    if (legs > most) w.more = "Jos deonica: " + std::to_string(legs - most);
    return w;
}
