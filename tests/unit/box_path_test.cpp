#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "box/box_path.h"
#include "box/face_line.h"
#include "box/next_face.h"
#include "viewer/scene.h"

namespace {

const std::string edge_end = "Specijalan slucaj udaranja loptice u stranicu\n";
const std::string corner_end = "Specijalan slucaj udaranja loptice u teme\n";

BoxTable box(Point size) {
    BoxTable t;
    box_table_set(t, size.x, size.y, size.z);
    return t;
}

// Traces on a fresh scene; returns the console text and leaves the legs in
// scene.segments.
std::string trace(Point size, Point start, Point direction, int bounces) {
    scene = Scene{};
    std::ostringstream out;
    trace_box_path(Line{start, direction}, box(size), bounces, start, out);
    return out.str();
}

TEST(BoxPath, KnownPaths) {
    struct Case { const char* name; Point size, start, direction; int bounces; std::string text; };
    const Case cases[] = {
        {"worked path: front, top, then the right/back edge (x face wins)",
         {4, 3, 2}, {1, 1, 1}, {1, 1, 1}, 5,
         "napred ravan 111, 2.000000 2.000000 2.000000\n"
         "gore ravan 110, 3.000000 3.000000 1.000000\n"
         "desno ravan 100, 4.000000 2.000000 0.000000\n" + edge_end},
        {"three faces tie at a corner: the right one, spelled desna",
         {4, 4, 4}, {2, 2, 2}, {1, 1, 1}, 3,
         "desna ravan 111, 4.000000 4.000000 4.000000\n" + corner_end},
        {"bottom and front tie: the y face wins, and it is an edge",
         {4, 3, 2}, {1, 1, 1}, {1, -1, 1}, 3,
         "dole ravan 101, 2.000000 0.000000 2.000000\n" + edge_end},
        {"on a face heading out: a leg of length zero, then on",
         {4, 3, 2}, {0, 1, 1}, {-1, 1, 1}, 2,
         "levo ravan 011, 0.000000 1.000000 1.000000\n"
         "napred ravan 111, 1.000000 2.000000 2.000000\n"},
        {"on an edge heading out: the path ends where it starts",
         {4, 3, 2}, {0, 0, 1}, {-1, -1, 1}, 3,
         "levo ravan 001, 0.000000 0.000000 1.000000\n" + edge_end},
        {"width no whole number: the right face first, then top and front tie",
         {4.5f, 3, 2}, {1, 1, 1}, {1, 0.5f, 0.25f}, 3,
         "desna ravan 111, 4.500000 2.750000 1.875000\n"
         "gore ravan 011, 4.000000 3.000000 2.000000\n" + edge_end},
        {"barely rising: every hit's y rounds alike, the face met first wins",
         {4, 3, 2}, {1, 1, 0.5f}, {1, 1e-9f, 1}, 3,
         "napred ravan 111, 2.500000 1.000000 2.000000\n"
         "desno ravan 110, 4.000000 1.000000 0.500000\n"
         "nazad ravan 010, 3.500000 1.000000 0.000000\n"},
        // 0.8 - (0.8 / 2.6) * 2.6 is not 0 in single precision: a corner
        // missed in the last bits is a face hit, and the path goes on.
        {"near miss of a corner",
         {4, 3, 2}, {0.8f, 0.8f, 0.8f}, {-2.6f, -2.6f, -2.6f}, 2,
         "levo ravan 000, 0.000000 0.000000 0.000000\n"
         "dole ravan 100, 0.000000 0.000000 0.000000\n"},
        {"no bounces", {4, 3, 2}, {1, 1, 1}, {1, 1, 1}, 0, ""},
        {"negative count", {4, 3, 2}, {1, 1, 1}, {1, 1, 1}, -3, ""},
        {"zero direction", {4, 3, 2}, {1, 1, 1}, {0, 0, 0}, 5, ""},
        // With zero components the nearest face along the ray wins; the right
        // face is desno whatever the other digits. (The transcript
        // box_zero_component has a longer path in the plane z = 1.)
        {"one zero component, the right face nearest",
         {4, 3, 2}, {3, 1, 1}, {1, 1, 0}, 1,
         "desno ravan 11-, 4.000000 2.000000 1.000000\n"},
        {"two zero components: back and forth along z",
         {4, 3, 2}, {1, 1, 1}, {0, 0, -1}, 3,
         "nazad ravan --0, 1.000000 1.000000 0.000000\n"
         "napred ravan --1, 1.000000 1.000000 2.000000\n"
         "nazad ravan --0, 1.000000 1.000000 0.000000\n"},
        {"zero component, two faces tie: the x face wins, at an edge",
         {4, 3, 2}, {2, 1, 1}, {2, 0, 1}, 3,
         "desno ravan 1-1, 4.000000 1.000000 2.000000\n" + edge_end},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(trace(c.size, c.start, c.direction, c.bounces), c.text);
        std::size_t face_lines = 0;
        for (std::size_t at = 0; (at = c.text.find(" ravan ", at)) != std::string::npos; ++at) ++face_lines;
        EXPECT_EQ(scene.segments.size(), face_lines);
    }
}

TEST(BoxPath, PointKindByExactComparison) {
    const BoxTable t = box({4.5f, 3, 2});
    struct Case { Point p; PointKind kind; };
    const Case cases[] = {
        {{4.5f, 0, 2}, PointKind::corner}, {{-0.0f, 3, 0}, PointKind::corner},
        {{2, 0, 0}, PointKind::edge},      {{4.5f, 2.9999998f, 2}, PointKind::edge},
        {{1, 1, 2}, PointKind::face},      {{1e-30f, 1e-30f, 1}, PointKind::face},
    };
    for (const Case& c : cases)
        EXPECT_EQ(box_point_kind(t, c.p), c.kind)
            << c.p.x << " " << c.p.y << " " << c.p.z;
}

TEST(BoxPath, SmallestOfThreeEarliestWinsTies) {
    struct Case { float u1, u2, u3; int want; };
    const Case cases[] = {
        {1, 2, 3, 1}, {2, 1, 3, 2}, {3, 2, 1, 3}, {1, 1, 2, 1},
        {2, 1, 1, 2}, {1, 2, 1, 1}, {5, 5, 5, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(smallest_of_three(c.u1, c.u2, c.u3), c.want) << c.u1 << " " << c.u2 << " " << c.u3;
}

TEST(FaceLine, WritesTheDigitsPrintfWrites) {
    std::vector<float> values = {0, -0.0f, -1e-7f, 2.5e-7f, 3.4e38f, -3.4e38f, 1.17549435e-38f};
    for (int n = 0; n < 2000; ++n) values.push_back(n / 128.0f);  // ties at the 7th decimal
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> mantissa(1, 2);
    std::uniform_int_distribution<int> exponent(-30, 40);
    for (int n = 0; n < 3000; ++n) values.push_back(std::ldexp(mantissa(rng), exponent(rng)) * (n % 2 ? 1 : -1));
    // Either side of where the integer shortcut gives way to the general one.
    for (float v = 1e12f, n = 0; n < 4; ++n, v = std::nextafter(v, 0.0f)) values.push_back(v);
    for (float v = 1e12f, n = 0; n < 4; ++n, v = std::nextafter(v, 2e12f)) values.push_back(-v);
    std::uniform_int_distribution<std::uint32_t> bits(0, 0x7f7fffff);  // every finite size
    for (int n = 0; n < 3000; ++n) {
        const std::uint32_t b = bits(rng) | (n % 2 ? 0x80000000u : 0);
        float v;
        std::memcpy(&v, &b, sizeof v);
        values.push_back(v);
    }
    for (std::size_t k = 0; k + 2 < values.size(); ++k) {
        const Point p{values[k], values[k + 1], values[k + 2]};
        std::ostringstream out;
        write_face_line(out, "napred", "1-0", p);
        char want[256];
        std::snprintf(want, sizeof want, "napred ravan 1-0, %f %f %f\n", double(p.x), double(p.y), double(p.z));
        ASSERT_EQ(out.str(), want);
    }
}

}  // namespace
