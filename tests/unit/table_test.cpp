#include <gtest/gtest.h>

#include "box/box_table.h"
#include "planar/rect_table.h"
#include "viewer/scene.h"

namespace {

bool same(Point p, Point q) { return p.x == q.x && p.y == q.y && p.z == q.z; }

TEST(RectTable, CornersWallsAndEdgesRunCounterClockwise) {
    const Point corners[4] = {{0, 0}, {4, 0}, {4, 2}, {0, 2}};
    const Point along[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    RectTable t;
    rect_table_set(t, 4, 2);
    scene = Scene{};
    rect_table_add_to_scene(t);
    ASSERT_EQ(scene.segments.size(), 4u);
    for (int k = 0; k < 4; ++k) {
        EXPECT_TRUE(same(t.corners[k], corners[k]) && same(t.walls[k].base, corners[k]) &&
                    same(t.walls[k].direction, along[k])) << k;
        const Segment& s = scene.segments[k];
        EXPECT_TRUE(same(s.a, corners[k]) && same(s.b, corners[(k + 1) % 4])) << k;
        EXPECT_EQ(s.colour, colour::black);
    }
}

// The ring z = 0, the four edges along z, then the ring z = depth.
TEST(BoxTable, EdgesEnterTheSceneInDrawingOrder) {
    const float ring[5][2] = {{0, 0}, {4.5f, 0}, {4.5f, 3}, {0, 3}, {0, 0}};
    const float z[3][2] = {{0, 0}, {0, 2}, {2, 2}};
    const int step[3] = {1, 0, 1};
    BoxTable t;
    box_table_set(t, 4.5f, 3, 2);
    scene = Scene{};
    box_table_add_to_scene(t);
    ASSERT_EQ(scene.segments.size(), 12u);
    for (int part = 0; part < 3; ++part) {
        for (int k = 0; k < 4; ++k) {
            const float* a = ring[k];
            const float* b = ring[k + step[part]];
            const Segment& s = scene.segments[4 * part + k];
            EXPECT_TRUE(same(s.a, {a[0], a[1], z[part][0]}) && same(s.b, {b[0], b[1], z[part][1]}))
                << "segment " << 4 * part + k;
            EXPECT_EQ(s.colour, colour::black);
        }
    }
}

}  // namespace
