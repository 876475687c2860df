#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "box/box_path.h"
#include "property_cases.h"
#include "viewer/scene.h"

namespace {

struct Path { float size[3], start[3], dir[3]; int bounces; };

// Directions whose t would overflow a float unless the tracer rescales them,
// and boxes near the largest float.
const Path extreme_paths[] = {
    {{4, 3, 2}, {1, 1, 1}, {1e-45f, 0, 0}, 20},
    {{4, 3, 2}, {1, 1, 1}, {1e-39f, 2e-39f, -1e-39f}, 20},
    {{4, 3, 2}, {1, 1, 1}, {1, 1e-40f, 1}, 20},
    {{4, 3, 2}, {1, 1, 1}, {3e38f, 1, -2e38f}, 20},
    {{3e38f, 3e38f, 1}, {1, 1, 0.5f}, {1, 0.5f, 0.25f}, 20},
};

// Traces `c` and checks each printed line against its leg: legs join, and
// every hit lies on the face its line names, within the box, on a face only
// (but for the last), and still along an axis the ball does not move on; N
// bounces give N lines unless a corner or edge ends the path, as the point
// kind of the last hit says. Returns whether one did.
bool check_path(const Path& c) {
    scene = Scene{};
    BoxTable t;
    box_table_set(t, c.size[0], c.size[1], c.size[2]);
    const Point p{c.start[0], c.start[1], c.start[2]};
    std::ostringstream out;
    trace_box_path(Line{p, Point{c.dir[0], c.dir[1], c.dir[2]}}, t, c.bounces, p, out);

    const float tol = 16 * std::ldexp(1.0f, -23) * std::max({c.size[0], c.size[1], c.size[2]});
    std::vector<std::string> lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    const bool ended = !lines.empty() && lines.back().rfind("Specijalan slucaj udaranja loptice u ", 0) == 0;
    if (ended) {
        // "... u teme" ends at a corner, "... u stranicu" at an edge.
        const PointKind kind = lines.back().back() == 'e' ? PointKind::corner : PointKind::edge;
        lines.pop_back();
        EXPECT_TRUE(!scene.segments.empty() && box_point_kind(t, scene.segments.back().b) == kind);
    }
    EXPECT_EQ(lines.size(), scene.segments.size());
    if (!ended) {
        EXPECT_EQ(lines.size(), std::size_t(c.bounces));
    }
    Point from = p;
    for (std::size_t leg = 0; leg < lines.size() && leg < scene.segments.size(); ++leg) {
        SCOPED_TRACE(::testing::Message() << "leg " << leg << ": " << lines[leg]);
        char word[8], code[4];
        if (std::sscanf(lines[leg].c_str(), "%7s ravan %3s, ", word, code) != 2) {
            ADD_FAILURE() << "not a face line";
            break;
        }
        const Segment& s = scene.segments[leg];
        EXPECT_TRUE(s.a.x == from.x && s.a.y == from.y && s.a.z == from.z) << "legs do not join";
        const float hit[3] = {s.b.x, s.b.y, s.b.z};
        if (leg + 1 < scene.segments.size()) {
            EXPECT_EQ(box_point_kind(t, s.b), PointKind::face);
        }
        const std::string w = word;
        const int axis = w == "levo" || w == "desno" || w == "desna" ? 0 : w == "dole" || w == "gore" ? 1 : 2;
        const bool far = w == "desno" || w == "desna" || w == "gore" || w == "napred";
        EXPECT_NEAR(hit[axis], far ? c.size[axis] : 0, tol) << "not on the face it names";
        EXPECT_EQ(code[axis], far ? '1' : '0') << "named a face it moves away from";
        EXPECT_EQ(w == "desna", w != "desno" && axis == 0 && std::string(code) == "111");
        for (int a = 0; a < 3; ++a) {
            EXPECT_TRUE(hit[a] >= -tol && hit[a] <= c.size[a] + tol) << "off the box on axis " << a;
            if (c.dir[a] == 0) {
                EXPECT_EQ(code[a], '-');
                EXPECT_EQ(hit[a], c.start[a]) << "moved along a still axis";
            }
        }
        from = s.b;
    }
    return ended;
}

// Random paths, some starting on a face, some with zero components, some
// barely moving along an axis (so that the hits' coordinates along it round
// alike); the other components' sizes are within a factor of 20 of each
// other, so rounding moves a hit by a few units in the last place of the
// box's size.
TEST(BoxPathProperty, PathsStayInTheBoxAndNameTheFacesTheyHit) {
    for (const Path& c : extreme_paths) {
        SCOPED_TRACE(::testing::Message() << "direction " << c.dir[0] << " " << c.dir[1] << " " << c.dir[2]);
        check_path(c);
    }
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> unit(0, 1);
    int ended_early = 0, zero_components = 0;
    const int cases = property_cases(1500);
    for (int n = 0; n < cases && !HasFailure(); ++n) {
        Path c{{0.1f + 20 * unit(rng), 0.1f + 20 * unit(rng), 0.1f + 20 * unit(rng)}, {}, {}, 0};
        for (int a = 0; a < 3; ++a) {
            const float u = unit(rng);
            c.start[a] = u < 0.1f ? 0 : u < 0.2f ? c.size[a] : c.size[a] * unit(rng);
            const float v = unit(rng);
            const float sign = unit(rng) < 0.5f ? -1 : 1;
            c.dir[a] = v < 0.15f ? 0 : v < 0.2f ? sign * 1e-9f : sign * (0.05f + 0.95f * unit(rng));
        }
        if (c.dir[0] == 0 && c.dir[1] == 0 && c.dir[2] == 0) c.dir[1] = 1;
        zero_components += (c.dir[0] == 0 || c.dir[1] == 0 || c.dir[2] == 0);
        c.bounces = 1 + int((cases > 1500 ? 30 : 300) * unit(rng));
        SCOPED_TRACE(::testing::Message() << "case " << n);
        ended_early += check_path(c);
    }
    // The cases must reach the branches they are meant to.
    EXPECT_GT(zero_components, 300);
    EXPECT_GT(ended_early, 100);
}

}  // namespace
