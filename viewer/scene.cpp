#include "viewer/scene.h"

Scene scene;

void scene_add_point(Point p, ColourCode c) {
    p.colour = c;
    scene.points.push_back(p);
    grow_bounds(p.x, p.y);
}

void scene_add_segment(Segment s, ColourCode c) {
    s.colour = c;
    scene.segments.push_back(s);
    grow_bounds(s.a.x, s.a.y);
    grow_bounds(s.b.x, s.b.y);
}

void grow_bounds(float x, float y) {
    SceneBounds& b = scene.bounds;
    if (b.low.x > x) b.low.x = x;
    if (b.low.y > y) b.low.y = y;
    if (b.high.x < x) b.high.x = x;
    if (b.high.y < y) b.high.y = y;
}
