#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>

#include "box/box_path.h"
#include "viewer/scene.h"

namespace {

struct Printed {
    char word[8];
    char code[4];
    float x, y, z;
};

// Random paths, some starting on a face, some with zero components, some
// barely moving along an axis (so that the hits' coordinates along it round
// alike); the other components' sizes are within a factor of 20 of each
// other, so rounding moves a hit by a few units in the last place of the
// box's size.
TEST(BoxPathProperty, PathsStayInTheBoxAndNameTheFacesTheyHit) {
    std::mt19937 rng(2024);
    std::uniform_real_distribution<float> unit(0, 1);
    int ended_early = 0, zero_components = 0;
    for (int n = 0; n < 1500; ++n) {
        const float size[3] = {0.1f + 20 * unit(rng), 0.1f + 20 * unit(rng), 0.1f + 20 * unit(rng)};
        float start[3], dir[3];
        for (int a = 0; a < 3; ++a) {
            const float u = unit(rng);
            start[a] = u < 0.1f ? 0 : u < 0.2f ? size[a] : size[a] * unit(rng);
            const float v = unit(rng);
            const float sign = unit(rng) < 0.5f ? -1 : 1;
            dir[a] = v < 0.15f ? 0 : v < 0.2f ? sign * 1e-9f : sign * (0.05f + 0.95f * unit(rng));
        }
        if (dir[0] == 0 && dir[1] == 0 && dir[2] == 0) dir[1] = 1;
        zero_components += (dir[0] == 0 || dir[1] == 0 || dir[2] == 0);
        const int bounces = 1 + int(300 * unit(rng));

        scene = Scene{};
        BoxTable t;
        box_table_set(t, size[0], size[1], size[2]);
        const Point p{start[0], start[1], start[2]};
        std::ostringstream out;
        trace_box_path(Line{p, Point{dir[0], dir[1], dir[2]}}, t, bounces, p, out);

        const float tol = 16 * std::ldexp(1.0f, -23) * std::max({size[0], size[1], size[2]});
        std::istringstream lines(out.str());
        std::string line;
        std::size_t leg = 0;
        bool ended = false;
        Point from = p;
        while (std::getline(lines, line)) {
            SCOPED_TRACE(::testing::Message() << "case " << n << " leg " << leg << ": " << line);
            ASSERT_FALSE(ended) << "a line after the path ended";
            if (line.rfind("Specijalan slucaj udaranja loptice u ", 0) == 0) {
                ended = true;
                ASSERT_GT(leg, 0u);
                const PointKind kind = box_point_kind(t, scene.segments[leg - 1].b);
                EXPECT_EQ(kind, line.back() == 'e' ? PointKind::corner : PointKind::edge);
                continue;
            }
            Printed f{};
            ASSERT_EQ(std::sscanf(line.c_str(), "%7s ravan %3s, %f %f %f", f.word, f.code, &f.x, &f.y, &f.z), 5);
            ASSERT_LT(leg, scene.segments.size());
            const Segment& s = scene.segments[leg];
            EXPECT_EQ(s.colour, colour::red);
            EXPECT_TRUE(s.a.x == from.x && s.a.y == from.y && s.a.z == from.z) << "legs do not join";
            const float hit[3] = {s.b.x, s.b.y, s.b.z};
            EXPECT_NEAR(f.x, hit[0], 1e-6 + 1e-6 * std::fabs(hit[0]));
            EXPECT_NEAR(f.y, hit[1], 1e-6 + 1e-6 * std::fabs(hit[1]));
            EXPECT_NEAR(f.z, hit[2], 1e-6 + 1e-6 * std::fabs(hit[2]));
            if (leg + 1 < scene.segments.size()) {
                EXPECT_EQ(box_point_kind(t, s.b), PointKind::face);
            }

            const std::string word = f.word, code = f.code;
            const int axis = word == "levo" || word == "desno" || word == "desna" ? 0
                             : word == "dole" || word == "gore"                   ? 1
                                                                                  : 2;
            const bool far = word == "desno" || word == "desna" || word == "gore" || word == "napred";
            EXPECT_NEAR(hit[axis], far ? size[axis] : 0, tol) << "not on the face it names";
            EXPECT_EQ(code[axis], far ? '1' : '0') << "named a face it moves away from";
            EXPECT_EQ(word == "desna", word != "desno" && axis == 0 && code == "111");
            for (int a = 0; a < 3; ++a) {
                EXPECT_GE(hit[a], -tol) << "axis " << a;
                EXPECT_LE(hit[a], size[a] + tol) << "axis " << a;
                if (dir[a] == 0) {
                    EXPECT_EQ(code[a], '-');
                    EXPECT_EQ(hit[a], start[a]) << "moved along a still axis";
                }
            }
            from = s.b;
            ++leg;
        }
        EXPECT_EQ(leg, scene.segments.size());
        if (ended) ++ended_early;
        else EXPECT_EQ(leg, std::size_t(bounces)) << "case " << n;
    }
    // The cases must reach the branches they are meant to.
    EXPECT_GT(zero_components, 300);
    EXPECT_GT(ended_early, 100);
}

}  // namespace
