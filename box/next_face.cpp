#include "box/next_face.h"

#include "box/face_line.h"

namespace {

// One face the ray moves towards, with the word that opens its line.
struct Candidate {
    FaceCode face;
    int plane;
    const char* word;
};

// The octant digit of a direction component; '-' where it does not move.
char digit(float v) {
    return v > 0 ? '1' : v < 0 ? '0' : '-';
}

// The face of each axis that a ray moving with sign digit d heads for.
Candidate x_face(char d) {
    return d == '1' ? Candidate{FaceCode::right, plane_index::right, "desno"}
                    : Candidate{FaceCode::left, plane_index::left, "levo"};
}
Candidate y_face(char d) {
    return d == '1' ? Candidate{FaceCode::top, plane_index::top, "gore"}
                    : Candidate{FaceCode::bottom, plane_index::bottom, "dole"};
}
Candidate z_face(char d) {
    return d == '1' ? Candidate{FaceCode::front, plane_index::front, "napred"}
                    : Candidate{FaceCode::back, plane_index::back, "nazad"};
}

// How much nearer along the ray (relative) a face must be to win a tie in y.
constexpr double tie_margin = 1e-6;

// The ray's parameter at the plane, rounded to float as it is stored.
float plane_t(const Line& ray, const Plane& plane) {
    const Point& n = plane.normal;
    const Point& p = ray.base;
    const Point& d = ray.direction;
    const double numerator = -double(n.x) * p.x - double(n.y) * p.y - double(n.z) * p.z - plane.offset;
    const double denominator = double(n.x) * d.x + double(n.y) * d.y + double(n.z) * d.z;
    return float(numerator / denominator);
}

Point point_at(const Line& ray, float t) {
    const Point& p = ray.base;
    const Point& d = ray.direction;
    return Point{float(p.x + double(t) * d.x), float(p.y + double(t) * d.y),
                 float(p.z + double(t) * d.z)};
}

}  // namespace

void plane_intersect(Line ray, Plane plane, Point& hit) {
    hit = point_at(ray, plane_t(ray, plane));
}

int smallest_of_three(float u1, float u2, float u3) {
    float m = u1 < u2 ? u1 : u2;
    if (u3 <= m) m = u3;
    return m == u1 ? 1 : m == u2 ? 2 : 3;
}

FaceCode find_next_face(Line ray, const BoxTable& t, Point& hit, std::ostream& out) {
    const char code[3] = {digit(ray.direction.x), digit(ray.direction.y), digit(ray.direction.z)};
    Candidate cand[3];
    int n = 0;
    if (code[0] != '-') cand[n++] = x_face(code[0]);
    if (code[1] != '-') cand[n++] = y_face(code[1]);
    if (code[2] != '-') cand[n++] = z_face(code[2]);
    if (n == 0) return FaceCode::none;

    int win = 0;
    if (n == 3) {
        // Moving along every axis: the face met first is the one whose hit
        // lies first along y, which rises or falls monotonically.
        float ts[3];
        Point p[3];
        for (int i = 0; i < 3; ++i) {
            ts[i] = plane_t(ray, t.planes[cand[i].plane]);
            p[i] = point_at(ray, ts[i]);
        }
        const bool rising = code[1] == '1';
        win = smallest_of_three(rising ? p[0].y : -p[0].y, rising ? p[1].y : -p[1].y,
                                rising ? p[2].y : -p[2].y) - 1;
        // Rounding keeps the order of the y values but can make them equal:
        // when the ray barely moves in y, faces met far apart along the ray
        // all round to the same y. Among such ties the face met clearly
        // first wins; t values a few units in the last place apart are a
        // true tie and keep the earlier candidate.
        for (int i = 0; i < 3; ++i) {
            if (p[i].y == p[win].y && double(ts[i]) < ts[win] * (1 - tie_margin)) win = i;
        }
        hit = p[win];
    } else {
        // Parallel to some faces: y may not move, so compare the distances
        // along the ray instead, as plane_intersect rounds them.
        float best = plane_t(ray, t.planes[cand[0].plane]);
        for (int i = 1; i < n; ++i) {
            const float ti = plane_t(ray, t.planes[cand[i].plane]);
            if (ti < best) {
                best = ti;
                win = i;
            }
        }
        hit = point_at(ray, best);
    }
    const bool all_up = code[0] == '1' && code[1] == '1' && code[2] == '1';
    const char* word = all_up && cand[win].face == FaceCode::right ? "desna" : cand[win].word;
    write_face_line(out, word, code, hit);
    return cand[win].face;
}
