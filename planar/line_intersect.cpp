#include "planar/line_intersect.h"

// Every named quantity (w, T, D, N, t, the squared lengths, the crossing) is
// rounded to float where it is computed; what is built from them is formed
// in double. The exact rounding points decide whether a path meets a corner
// exactly, so they are part of the result, not an implementation detail.

namespace {

// Relative tolerance on the squared sine of the angle between the lines.
constexpr float parallel_tolerance = 0.00001f;

Point difference(Point p, Point q) {
    return Point{float(double(p.x) - q.x), float(double(p.y) - q.y),
                 float(double(p.z) - q.z)};
}

float length_squared(Point v) {
    return float(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
}

// The z component of u x v, which is zero exactly when u and v are parallel
// in the plane.
float planar_cross(Point u, Point v) {
    return float(double(u.x) * v.y - double(u.y) * v.x);
}

// Writes a's point at parameter t = (w x v).z / D; w = b.base - a.base.
void write_crossing(Line a, Line b, Point w, float d, Point& out) {
    const Point u = a.direction, v = b.direction;
    const float t = float((double(w.x) * v.y - double(w.y) * v.x) / d);
    out.x = float(a.base.x + double(t) * u.x);
    out.y = float(a.base.y + double(t) * u.y);
}

}  // namespace

int line_intersect(Line a, Line b, Point& out) {
    const Point u = a.direction, v = b.direction;
    const Point w = difference(b.base, a.base);
    const float uu = length_squared(u), vv = length_squared(v);
    const double limit = double(parallel_tolerance) * uu * vv;

    const double cx = double(u.y) * v.z - double(u.z) * v.y;
    const double cy = double(u.z) * v.x - double(u.x) * v.z;
    const double cz = double(u.x) * v.y - double(u.y) * v.x;
    const float triple = float(w.x * cx + w.y * cy + w.z * cz);
    if (double(triple) * triple > limit) return crossing::skew;

    const float d = planar_cross(u, v);
    if (double(d) * d > limit) {
        write_crossing(a, b, w, d, out);
        return crossing::point;
    }

    const float n = planar_cross(w, v);
    const float ww = length_squared(w);
    if (double(n) * n > double(parallel_tolerance) * uu * ww) return crossing::apart;
    return crossing::same;
}

bool line_crossing(Line a, Line b, Point& out) {
    const float d = planar_cross(a.direction, b.direction);
    if (d == 0) return false;
    write_crossing(a, b, difference(b.base, a.base), d, out);
    return true;
}
