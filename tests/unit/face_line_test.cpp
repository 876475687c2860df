#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <vector>

#include "box/face_line.h"

// trakbox formats its lines by hand; they must be what printf's "%f" gives:
// for -0 and what rounds to it, either side of 10^12 (where the quick way
// gives way to the general one), ties at the seventh decimal (n / 128), and
// random floats of every size and of the sizes where the decimals show.
TEST(FaceLine, WritesTheDigitsPrintfWrites) {
    std::vector<float> values = {-0.0f, -1e-7f, 1e12f, std::nextafter(1e12f, 0.0f), -1.0000001e12f};
    for (int n = 0; n < 2000; ++n) values.push_back(n / 128.0f);
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> exponent(-30, 40);
    while (values.size() < 8000) {
        const auto bits = std::uint32_t(rng());
        float v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v) && v != 0) values.push_back(values.size() % 2 ? v : std::ldexp(v, exponent(rng) - std::ilogb(v)));
    }
    for (std::size_t k = 0; k + 2 < values.size(); ++k) {
        const double x = values[k], y = values[k + 1], z = values[k + 2];
        std::ostringstream out;
        write_face_line(out, "napred", "1-0", Point{values[k], values[k + 1], values[k + 2]});
        char want[256];
        std::snprintf(want, sizeof want, "napred ravan 1-0, %f %f %f\n", x, y, z);
        ASSERT_EQ(out.str(), want);
    }
}
