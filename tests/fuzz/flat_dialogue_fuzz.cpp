// Feeds arbitrary bytes to trakflat's whole dialogue. Every run must end
// (each read uses up input or ends the dialogue); a finished dialogue must
// pass on only finite sizes above zero, a start point on the table, a
// direction that is not zero and a bounce count within the limit; and the
// first legs of the path must end on the table's border.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "console/questions.h"
#include "planar/dialogue.h"
#include "planar/planar_path.h"
#include "viewer/scene.h"

// Names the broken promise before the fuzzer reports the crash.
#define check(ok) \
    ((ok) ? void(0) : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    std::ostringstream out, err;
    Console con(in, out, err);
    FlatAnswers a;
    if (!flat_dialogue(con, a)) return 0;

    const float w = a.table.width, h = a.table.height;
    check(std::isfinite(w) && w > 0 && std::isfinite(h) && h > 0);
    check(a.start.x >= 0 && a.start.x <= w && a.start.y >= 0 && a.start.y <= h);
    check(std::isfinite(a.direction.x) && std::isfinite(a.direction.y));
    check(a.direction.x != 0 || a.direction.y != 0);
    check(a.bounces <= max_bounce_count);

    scene = Scene{};
    trace_planar_path(Line{a.start, a.direction}, std::min(a.bounces, 50), a.table);
    // Rounding may miss the border by a few units in the last place, and
    // near a corner a steep ray turns an error along one side into one as
    // many times larger along the other.
    const double dx = std::fabs(a.direction.x), dy = std::fabs(a.direction.y);
    const double steep = dx == 0 || dy == 0 ? 1 : std::max(dx / dy, dy / dx);
    const double tol = 4 * std::ldexp(1.0, std::ilogb(std::max(w, h)) - 23) * (1 + steep);
    for (const Segment& s : scene.segments) {
        const double x = s.b.x, y = s.b.y;
        check(x >= -tol && x <= w + tol && y >= -tol && y <= h + tol);
        check(std::min({std::fabs(x), std::fabs(x - w), std::fabs(y), std::fabs(y - h)}) <= tol);
    }
    return 0;
}
