#include "viewer/words.h"

#include <cstdio>

namespace {

// The first `axes` coordinates, "%f" each, between them `between`.
std::string coordinates(const float v[], int axes, const char* between = " ") {
    std::string text;
    for (int i = 0; i < axes; ++i) {
        char number[64];
        std::snprintf(number, sizeof number, "%f", double(v[i]));
        text += (i ? between : "") + std::string(number);
    }
    return text;
}

}  // namespace

PictureWords picture_words(const std::vector<Segment>& segments, const float size[], int axes,
                           Point start, std::size_t most) {
    PictureWords w;
    std::size_t legs = 0;
    for (const Segment& s : segments) {
        if (s.colour != colour::red) continue;
        if (++legs > most) continue;
        const float end[3] = {s.b.x, s.b.y, s.b.z};
        w.ends += coordinates(end, axes) + "\n";
    }
    const float from[3] = {start.x, start.y, start.z};
    w.name = "Sto " + coordinates(size, axes, " x ") + ", pocetna tacka " +
             coordinates(from, axes) + ", broj deonica putanje: " + std::to_string(legs);
    if (legs > most) w.more = "Jos deonica: " + std::to_string(legs - most);
    return w;
}
