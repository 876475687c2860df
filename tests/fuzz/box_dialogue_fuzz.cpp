// Feeds arbitrary bytes to trakbox's whole dialogue, as the trakflat target
// does, and traces the first legs: each must end on a face of the box.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "box/box_path.h"
#include "box/dialogue.h"
#include "console/questions.h"
#include "viewer/scene.h"

// Names the broken promise before the fuzzer reports the crash.
#define check(ok) \
    ((ok) ? void(0) : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    Console con(in, out, err);
    BoxAnswers a;
    if (!box_dialogue(con, a)) return 0;

    const float sz[3] = {a.table.width, a.table.height, a.table.depth};
    const float st[3] = {a.start.x, a.start.y, a.start.z};
    const float dir[3] = {a.direction.x, a.direction.y, a.direction.z};
    for (int i = 0; i < 3; ++i) {
        check(std::isfinite(sz[i]) && sz[i] > 0);
        check(st[i] >= 0 && st[i] <= sz[i]);
        check(std::isfinite(dir[i]));
    }
    check(dir[0] != 0 || dir[1] != 0 || dir[2] != 0);
    check(a.bounces <= max_bounce_count);

    scene = Scene{};
    std::ostringstream lines;
    trace_box_path(Line{a.start, a.direction}, a.table, std::min(a.bounces, 50), a.start, lines);
    // As on the rectangle: a few units in the last place, times how much
    // steeper the ray runs along one axis than along another.
    double most = 0, least = HUGE_VAL;
    for (float d : dir) {
        if (d == 0) continue;
        most = std::max(most, std::fabs(double(d)));
        least = std::min(least, std::fabs(double(d)));
    }
    const double tol =
        4 * std::ldexp(1.0, std::ilogb(std::max({sz[0], sz[1], sz[2]})) - 23) * (1 + most / least);
    for (const Segment& s : scene.segments) {
        const double p[3] = {s.b.x, s.b.y, s.b.z};
        bool on_face = false;
        for (int i = 0; i < 3; ++i) {
            check(p[i] >= -tol && p[i] <= sz[i] + tol);
            on_face = on_face || std::fabs(p[i]) <= tol || std::fabs(p[i] - sz[i]) <= tol;
        }
        check(on_face);
    }
    return 0;
}
