#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "planar/line_intersect.h"
#include "planar/planar_path.h"
#include "viewer/scene.h"

// Only a crossing is written (the second behind a's base); the last pair is
// within the tolerance, so it is called parallel although the lines cross.
TEST(LineIntersect, ResultCodesAndWhatIsWritten) {
    struct Case { Point p1, u, p2, v; int code; float x, y; };
    const Case cases[] = {{{1, 0}, {1, 1}, {4, 0}, {0, 1}, crossing::point, 4, 3},
                          {{0, 0}, {1, 0}, {0, 1}, {1, 1}, crossing::point, -1, 0},
                          {{0, 1}, {1, 0}, {0, 0}, {1, 0}, crossing::apart, 7, 7},
                          {{0, 0}, {2, 0}, {3, 0}, {-1, 0}, crossing::same, 7, 7},
                          {{0, 0, 1}, {1, 0}, {0, 0}, {0, 1}, crossing::skew, 7, 7},
                          {{1, 1}, {1, 0.001f}, {4, 2}, {-1, 0}, crossing::apart, 7, 7}};
    for (const Case& c : cases) {
        Point out{7, 7, 7};
        EXPECT_EQ(line_intersect(Line{c.p1, c.u}, Line{c.p2, c.v}, out), c.code);
        EXPECT_TRUE(out.x == c.x && out.y == c.y && out.z == 7) << out.x << " " << out.y;
    }
}

// The cases are rows of planar_paths.txt; every leg's end must be exact.
TEST(TracePlanarPath, KnownPaths) {
    std::ifstream file(TRAK_TESTS_DIR "/unit/planar_paths.txt");
    ASSERT_TRUE(file.is_open());
    for (std::string text; std::getline(file, text);) {
        std::istringstream in(text);
        float w, h, x, y, dx, dy;
        int bounces;
        if (!(in >> w >> h >> x >> y >> dx >> dy >> bounces)) continue;  // a comment
        scene = Scene{};
        RectTable t;
        rect_table_set(t, w, h);
        trace_planar_path(Line{Point{x, y}, Point{dx, dy}}, bounces, t);
        std::size_t leg = 0;
        for (float ex, ey; in >> ex >> ey; ++leg) {
            ASSERT_LT(leg, scene.segments.size()) << text;
            const Point end = scene.segments[leg].b;
            EXPECT_TRUE(end.x == ex && end.y == ey) << text << ": leg " << leg << " ends at "
                                                    << end.x << " " << end.y;
        }
        EXPECT_EQ(leg, scene.segments.size()) << text;
    }
}
