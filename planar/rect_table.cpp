#include "planar/rect_table.h"

#include "console/questions.h"
#include "viewer/scene.h"

void rect_table_set(RectTable& t, float width, float height) {
    t.width = width;
    t.height = height;
    t.corners[0] = Point{0, 0, 0};
    t.corners[1] = Point{width, 0, 0};
    t.corners[2] = Point{width, height, 0};
    t.corners[3] = Point{0, height, 0};
    const Point along[4] = {{1, 0, 0}, {0, 1, 0}, {-1, 0, 0}, {0, -1, 0}};
    for (int k = 0; k < 4; ++k) {
        t.walls[k] = Line{t.corners[k], along[k]};
        t.edges[k] = Segment{t.corners[k], t.corners[(k + 1) % 4]};
    }
}

bool rect_table_read(Console& c, RectTable& t) {
    float width = 0, height = 0;
    if (!ask_size(c, "Unesi sirinu stola\n", width)) return false;
    if (!ask_size(c, "Unesi visinu stola\n", height)) return false;
    rect_table_set(t, width, height);
    return true;
}

void rect_table_add_to_scene(RectTable t) {
    for (const Segment& e : t.edges) scene_add_segment(e, colour::black);
}
