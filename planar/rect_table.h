#pragma once
// The rectangular table: (0, 0) to (width, height) in the plane z = 0.

#include "console/console.h"
#include "viewer/shapes.h"

/// Index k (0-based here) of corners, walls and edges: 0 bottom / lower
/// left, 1 right / lower right, 2 top / upper right, 3 left / upper left.
/// Walls run counter-clockwise and each starts at the corner its edge starts
/// at; wall k + 1 is the wall number the path tracer uses.
struct RectTable {
    float width = 0;
    float height = 0;
    Point corners[4];
    Line walls[4];
    Segment edges[4];
};

/// Fills corners, walls and edges from the sizes.
void rect_table_set(RectTable& t, float width, float height);

/// Asks the width and the height, then fills the table. False if the input
/// ends first.
bool rect_table_read(Console& c, RectTable& t);

/// Adds the four edges to the scene in black, bottom, right, top, left.
void rect_table_add_to_scene(RectTable t);
