#include "box/box_table.h"

#include "console/questions.h"
#include "viewer/scene.h"

void box_table_set(BoxTable& t, float width, float height, float depth) {
    t.width = width;
    t.height = height;
    t.depth = depth;
    const Point ring[4] = {{0, 0, 0}, {width, 0, 0}, {width, height, 0}, {0, height, 0}};
    for (int k = 0; k < 4; ++k) {
        t.corners[2 * k] = ring[k];
        t.corners[2 * k + 1] = Point{ring[k].x, ring[k].y, depth};
    }
    for (int k = 0; k < 4; ++k) {
        const int next = (k + 1) % 4;
        t.edges[k] = Segment{t.corners[2 * k], t.corners[2 * next]};
        t.edges[k + 4] = Segment{t.corners[2 * k + 1], t.corners[2 * next + 1]};
        t.edges[k + 8] = Segment{t.corners[2 * k], t.corners[2 * k + 1]};
    }
    // The offsets are the sizes negated exactly, so each plane passes
    // through the corners of its face and hits on it compare equal to them.
    const Point along_x{1, 0, 0}, along_y{0, 1, 0}, along_z{0, 0, 1};
    t.planes[plane_index::left] = Plane{along_x, 0};
    t.planes[plane_index::right] = Plane{along_x, -width};
    t.planes[plane_index::top] = Plane{along_y, -height};
    t.planes[plane_index::bottom] = Plane{along_y, 0};
    t.planes[plane_index::front] = Plane{along_z, -depth};
    t.planes[plane_index::back] = Plane{along_z, 0};
}

bool box_table_read(Console& c, BoxTable& t) {
    float width = 0, height = 0, depth = 0;
    if (!ask_size(c, "Unesi sirinu stola\n", width)) return false;
    if (!ask_size(c, "Unesi visinu stola\n", height)) return false;
    if (!ask_size(c, "Unesi dubinu stola\n", depth)) return false;
    box_table_set(t, width, height, depth);
    return true;
}

void box_table_add_to_scene(BoxTable t) {
    const int order[12] = {0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7};
    for (int k : order) scene_add_segment(t.edges[k], colour::black);
}
