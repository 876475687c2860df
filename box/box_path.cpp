#include "box/box_path.h"

#include "box/next_face.h"
#include "viewer/direction.h"
#include "viewer/scene.h"

PointKind box_point_kind(const BoxTable& t, Point p) {
    const int at_bound = (p.x == 0 || p.x == t.width) + (p.y == 0 || p.y == t.height) +
                         (p.z == 0 || p.z == t.depth);
    return at_bound == 3 ? PointKind::corner : at_bound == 2 ? PointKind::edge : PointKind::face;
}

void trace_box_path(Line ray, BoxTable t, std::int32_t bounces, Point leg_start, std::ostream& out) {
    // Only the direction's ratios matter; rescaled, a tiny or huge one cannot
    // overflow t and print a hit at infinity.
    ray.direction = direction_rescaled(ray.direction);
    // A loop, not a call per leg: a million bounces must not need a million
    // stack frames.
    for (; bounces > 0; --bounces) {
        Point hit;
        const FaceCode face = find_next_face(ray, t, hit, out);
        if (face == FaceCode::none) return;  // a ray that does not move has no path
        scene_add_segment(Segment{leg_start, hit}, colour::red);

        const PointKind kind = box_point_kind(t, hit);
        if (kind == PointKind::corner) {
            out << "Specijalan slucaj udaranja loptice u teme\n";
            return;
        }
        if (kind == PointKind::edge) {
            out << "Specijalan slucaj udaranja loptice u stranicu\n";
            return;
        }

        Point& d = ray.direction;
        switch (face) {
            case FaceCode::top:
            case FaceCode::bottom: d.y = -d.y; break;
            case FaceCode::front:
            case FaceCode::back: d.z = -d.z; break;
            case FaceCode::left:
            case FaceCode::right: d.x = -d.x; break;
            case FaceCode::none: break;
        }
        ray.base = hit;
        leg_start = hit;
    }
}
