#include "planar/planar_path.h"

#include "planar/line_intersect.h"
#include "viewer/direction.h"
#include "viewer/scene.h"

namespace {

constexpr int bottom = 1, right = 2, top = 3, left = 4;

// Where the ray meets wall number `wall`; the origin if it runs exactly
// parallel to it. Not line_intersect: its tolerance takes a ray within about
// 0.18 degrees of a side for parallel to the walls along that side, and the
// leg would end at the origin instead of on the wall ahead.
Point meet(Line ray, const RectTable& t, int wall) {
    Point p;
    line_crossing(ray, t.walls[wall - 1], p);
    return p;
}

// The public operations take their copies; the tracer passes its one table
// and ray by reference, since copying the table on every leg made tracing
// about a third slower.
int next_wall(const Line& ray, const RectTable& t, Point& hit) {
    const float dx = ray.direction.x, dy = ray.direction.y;
    if (dx == 0 || dy == 0) {
        // Along an axis only the wall ahead can be met.
        const int wall = dx == 0 ? (dy >= 0 ? top : bottom) : (dx > 0 ? right : left);
        hit = meet(ray, t, wall);
        return wall;
    }
    // Two candidates: the side wall (right or left) and the top or bottom
    // one. The side wall wins only when the other crossing lies beyond it in
    // x; a tie (the ray runs into the corner) goes to the second candidate.
    int first, second;
    if (dx > 0) {
        first = dy > 0 ? right : bottom;
        second = dy > 0 ? top : right;
    } else {
        first = dy > 0 ? top : left;
        second = dy > 0 ? left : bottom;
    }
    const Point a = meet(ray, t, first), b = meet(ray, t, second);
    const bool take_first = dx > 0 ? b.x > a.x : b.x < a.x;
    hit = take_first ? a : b;
    return take_first ? first : second;
}

int corner_at(const RectTable& t, Point p) {
    auto at = [&](int k) { return p.x == t.corners[k].x && p.y == t.corners[k].y; };
    if (at(0) || at(2)) return corner::lower_left_or_upper_right;
    if (at(1) || at(3)) return corner::lower_right_or_upper_left;
    return corner::none;
}

}  // namespace

int find_next_wall(Line ray, RectTable t, Point& hit) { return next_wall(ray, t, hit); }

int corner_kind(RectTable t, Point p) { return corner_at(t, p); }

void trace_planar_path(Line ray, std::int32_t bounces, RectTable t) {
    // Only the direction's ratio matters; rescaled, a tiny or huge one cannot
    // overflow t and end a leg at infinity.
    ray.direction = direction_rescaled(ray.direction);
    Point& d = ray.direction;
    // A ball that does not move meets no wall.
    if (d.x == 0 && d.y == 0) return;
    for (std::int32_t n = bounces; n > 0; --n) {
        Point hit;
        const int wall = next_wall(ray, t, hit);
        scene_add_segment(Segment{ray.base, hit}, colour::red);

        // At a corner the direction is mirrored in the 45-degree line
        // through it, which swaps the components.
        const float dx = d.x, dy = d.y;
        switch (corner_at(t, hit)) {
            case corner::lower_left_or_upper_right: d.x = -dy; d.y = -dx; break;
            case corner::lower_right_or_upper_left: d.x = dy; d.y = dx; break;
            default:
                if (wall == bottom || wall == top) d.y = -dy;
                else d.x = -dx;
        }
        ray.base = hit;
    }
}
