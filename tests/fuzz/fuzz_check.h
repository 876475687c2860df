#pragma once
// What both dialogue fuzz targets check: every run ends (each read uses up
// input or ends the dialogue); a finished dialogue passes on only finite
// sizes above zero, a start point on the table, a finite direction that is
// not zero and at most a million bounces; and the first legs of the path
// end on the table's border.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "console/console.h"
#include "viewer/scene.h"

// Names the broken promise before the fuzzer reports the crash.
#define check(ok) \
    ((ok) ? void(0) : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #ok), std::abort()))

/// A console reading the fuzzer's bytes; what it prints is dropped.
struct FuzzConsole {
    std::istringstream in;
    std::ostringstream out, err;
    Console con{in, out, err};
    FuzzConsole(const std::uint8_t* data, std::size_t size)
        : in(std::string(reinterpret_cast<const char*>(data), size)) {}
};

/// Checks the answers on `axes` axes and clears the scene for the path.
inline void check_answers(int axes, const float size[], const float start[], const float dir[],
                          std::int32_t bounces) {
    bool moves = false;
    for (int i = 0; i < axes; ++i) {
        check(std::isfinite(size[i]) && size[i] > 0);
        check(start[i] >= 0 && start[i] <= size[i]);
        check(std::isfinite(dir[i]));
        moves = moves || dir[i] != 0;
    }
    check(moves);
    check(bounces <= 1000000);
    scene = Scene{};
}

/// Checks that every leg in the scene ends on the border. Rounding may miss
/// it by a few units in the last place of the largest size, and near a
/// corner a steep ray turns an error along one side into one as many times
/// larger along the other.
inline void check_legs(int axes, const float size[], const float dir[]) {
    double most = 0, least = HUGE_VAL, largest = 0;
    for (int i = 0; i < axes; ++i) {
        largest = std::max(largest, double(size[i]));
        if (dir[i] == 0) continue;
        most = std::max(most, std::fabs(double(dir[i])));
        least = std::min(least, std::fabs(double(dir[i])));
    }
    const double tol = 4 * std::ldexp(1.0, std::ilogb(largest) - 23) * (1 + most / least);
    for (const Segment& s : scene.segments) {
        const double p[3] = {s.b.x, s.b.y, s.b.z};
        bool on_border = false;
        for (int i = 0; i < axes; ++i) {
            check(p[i] >= -tol && p[i] <= size[i] + tol);
            on_border = on_border || std::fabs(p[i]) <= tol || std::fabs(p[i] - size[i]) <= tol;
        }
        check(on_border);
    }
}
