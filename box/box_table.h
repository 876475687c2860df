#pragma once
// The box the ball moves in: x from 0 to width, y from 0 to height, z from
// 0 to depth, held as its corners (to judge hits), its edges (to draw) and
// its face planes (to find hits).

#include "console/console.h"
#include "viewer/shapes.h"

/// The plane of points p with normal . p + offset = 0.
struct Plane {
    Point normal;
    float offset = 0;
};

/// Index of each face's plane in BoxTable::planes. Both planes of a pair
/// share the normal along the positive axis, so the normals of the left,
/// bottom and back faces point into the box.
namespace plane_index {
constexpr int left = 0;    // x = 0
constexpr int right = 1;   // x = width
constexpr int top = 2;     // y = height
constexpr int bottom = 3;  // y = 0
constexpr int front = 4;   // z = depth
constexpr int back = 5;    // z = 0
}  // namespace plane_index

/// Corners: the even ones ring z = 0 as (0,0), (w,0), (w,h), (0,h); each odd
/// one is the corner before it moved to z = depth. Edges 0-3 ring z = 0,
/// 4-7 ring z = depth, 8-11 run along z from the even corners.
struct BoxTable {
    float width = 0;
    float height = 0;
    float depth = 0;
    Point corners[8];
    Segment edges[12];
    Plane planes[6];
};

/// Fills corners, edges and planes from the sizes.
void box_table_set(BoxTable& t, float width, float height, float depth);

/// Asks the width, the height and the depth, then fills the table. False if
/// the input ends first.
bool box_table_read(Console& c, BoxTable& t);

/// Adds the twelve edges to the scene in black: the ring z = 0, the four
/// along z, then the ring z = depth.
void box_table_add_to_scene(BoxTable t);
