#include <gtest/gtest.h>

#include "box/box_table.h"
#include "viewer/scene.h"

namespace {

struct XYZ { float x, y, z; };

bool at(const Point& p, XYZ want) {
    return p.x == want.x && p.y == want.y && p.z == want.z && p.colour == colour::black;
}

TEST(BoxTable, CornersAndPlanesFollowTheSizes) {
    struct Case { XYZ size; XYZ corners[8]; float offsets[6]; };
    const Case cases[] = {
        {{4, 3, 2},
         {{0, 0, 0}, {0, 0, 2}, {4, 0, 0}, {4, 0, 2}, {4, 3, 0}, {4, 3, 2}, {0, 3, 0}, {0, 3, 2}},
         {0, -4, -3, 0, -2, 0}},
        // Sizes that are no whole numbers give offsets exactly their negation.
        {{10.5f, 1, 7.9f},
         {{0, 0, 0}, {0, 0, 7.9f}, {10.5f, 0, 0}, {10.5f, 0, 7.9f},
          {10.5f, 1, 0}, {10.5f, 1, 7.9f}, {0, 1, 0}, {0, 1, 7.9f}},
         {0, -10.5f, -1, 0, -7.9f, 0}},
    };
    const XYZ normals[6] = {{1, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 1, 0}, {0, 0, 1}, {0, 0, 1}};
    for (const Case& c : cases) {
        BoxTable t;
        box_table_set(t, c.size.x, c.size.y, c.size.z);
        EXPECT_TRUE(t.width == c.size.x && t.height == c.size.y && t.depth == c.size.z);
        for (int k = 0; k < 8; ++k) EXPECT_TRUE(at(t.corners[k], c.corners[k])) << "corner " << k;
        for (int k = 0; k < 6; ++k) {
            EXPECT_TRUE(at(t.planes[k].normal, normals[k])) << "plane " << k;
            EXPECT_EQ(t.planes[k].offset, c.offsets[k]) << "plane " << k;
        }
    }
}

// The low ring, the four edges along z, then the high ring.
TEST(BoxTable, EdgesEnterTheSceneInDrawingOrder) {
    const int ends[12][2] = {{0, 2}, {2, 4}, {4, 6}, {6, 0}, {0, 1}, {2, 3},
                             {4, 5}, {6, 7}, {1, 3}, {3, 5}, {5, 7}, {7, 1}};
    scene = Scene{};
    BoxTable t;
    box_table_set(t, 4, 3, 2);
    box_table_add_to_scene(t);
    ASSERT_EQ(scene.segments.size(), 12u);
    for (int k = 0; k < 12; ++k) {
        const Segment& s = scene.segments[k];
        const Point& a = t.corners[ends[k][0]];
        const Point& b = t.corners[ends[k][1]];
        EXPECT_TRUE(at(s.a, {a.x, a.y, a.z}) && at(s.b, {b.x, b.y, b.z})) << "segment " << k;
        EXPECT_EQ(s.colour, colour::black);
    }
    EXPECT_TRUE(scene.points.empty());
}

}  // namespace
