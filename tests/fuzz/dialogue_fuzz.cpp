// A libFuzzer target: any bytes through trakbox's (TRAK_FUZZ_BOX 1) or trakflat's dialogue and
// first legs, which promise: a dialogue that ends passes finite sizes above zero, a start on the
// table, a finite direction that moves and at most 10^6 bounces; N bounces give N legs (in trakbox,
// fewer only when an edge or a corner ends the path with its message); legs join and end on the
// border; trakbox's lines name the face each leg ends on. A broken promise ends the run.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "box/box_path.h"
#include "box/dialogue.h"
#include "planar/dialogue.h"
#include "planar/planar_path.h"
#include "viewer/scene.h"

// Each check gives nullptr, or the promise it found broken.
#define PROMISE(ok) if (!(ok)) return #ok

namespace {

// The spacing of floats about x, which stays 2^-149 below the normal range.
double spacing(double x) { return std::ldexp(1.0, std::max(std::ilogb(x), -126) - 23); }

/// Runs the dialogue of trakbox (`box`) or trakflat on `text`, then its path for at most `max_legs`
/// legs into an empty scene. An input that ends before the dialogue does promises nothing more.
const char* run(bool box, const std::string& text, int max_legs) {
    std::istringstream in(text);
    std::ostringstream out, lines;
    Console c{in, out, out};
    FlatAnswers f;
    BoxAnswers b;
    if (!(box ? box_dialogue(c, b) : flat_dialogue(c, f))) return nullptr;
    const Point start = box ? b.start : f.start, dir = box ? b.direction : f.direction;
    const int axes = box ? 3 : 2, bounces = box ? b.bounces : f.bounces;
    const int legs = std::max(std::min(bounces, max_legs), 0);
    scene = Scene{};
    if (box) trace_box_path(Line{start, dir}, b.table, legs, start, lines);
    else trace_planar_path(Line{start, dir}, legs, f.table);
    PROMISE(box || scene.segments.size() == std::size_t(legs));  // trakbox's: below

    const float size[3] = {box ? b.table.width : f.table.width,
                           box ? b.table.height : f.table.height, b.table.depth};
    const float st[3] = {start.x, start.y, start.z}, d[3] = {dir.x, dir.y, dir.z};
    double most = 0, least = HUGE_VAL, largest = 0;
    for (int i = 0; i < axes; ++i) {
        PROMISE(std::isfinite(size[i]) && size[i] > 0 && st[i] >= 0 && st[i] <= size[i]);
        PROMISE(std::isfinite(d[i]));
        largest = std::max(largest, double(size[i]));
        if (d[i] == 0) continue;
        most = std::max(most, std::fabs(double(d[i])));
        least = std::min(least, std::fabs(double(d[i])));
    }
    PROMISE(most > 0 && bounces <= 1000000);
    // Rounding may miss the border by a few units in the last place of the largest size, and near a
    // corner a steep ray turns an error along one side into one as many times larger along the
    // other.
    const double tol = 4 * spacing(largest) * (1 + most / least);
    Point from = start;
    for (const Segment& s : scene.segments) {
        PROMISE(s.a.x == from.x && s.a.y == from.y && s.a.z == from.z);
        const float end[3] = {s.b.x, s.b.y, s.b.z};
        bool on_border = false;
        for (int i = 0; i < axes; ++i) {
            PROMISE(end[i] >= -tol && end[i] <= size[i] + tol);
            on_border = on_border || std::fabs(end[i]) <= tol || std::fabs(end[i] - size[i]) <= tol;
        }
        PROMISE(on_border);
        from = s.b;
    }
    if (!box) return nullptr;

    // Each of trakbox's lines against its leg, and the end message against the last hit. Along its
    // own axis a hit is off by the rounding of t: a few units in the last place of the largest
    // size.
    const std::string faces[7] = {"levo", "desno", "dole", "gore", "nazad", "napred", "desna"};
    const double off = std::max(std::ldexp(16.0, -23) * largest, 16 * spacing(largest));
    std::istringstream printed(lines.str());
    std::size_t leg = 0;
    bool ended = false;
    for (std::string line; std::getline(printed, line);) {
        PROMISE(!ended);
        if (line.rfind("Specijalan slucaj udaranja loptice u ", 0) == 0) {
            PROMISE(leg > 0 && leg == scene.segments.size());
            const PointKind kind = box_point_kind(b.table, scene.segments[leg - 1].b);
            PROMISE(kind == (line.back() == 'e' ? PointKind::corner : PointKind::edge));
            ended = true;
            continue;
        }
        char word[8], code[4];
        PROMISE(leg < scene.segments.size());
        PROMISE(std::sscanf(line.c_str(), "%7s ravan %3s,", word, code) == 2);
        const Point p = scene.segments[leg].b;
        const float hit[3] = {p.x, p.y, p.z};
        PROMISE(leg + 1 == scene.segments.size() || box_point_kind(b.table, p) == PointKind::face);
        const int face = int(std::find(faces, faces + 7, std::string(word)) - faces);
        const int axis = face == 6 ? 0 : face / 2;
        const bool far = face % 2 == 1 || face == 6;
        PROMISE(face < 7 && code[axis] == (far ? '1' : '0'));
        PROMISE(std::fabs(hit[axis] - (far ? size[axis] : 0)) <= off);
        for (int i = 0; i < 3; ++i) PROMISE(d[i] != 0 || (code[i] == '-' && hit[i] == st[i]));
        ++leg;
    }
    PROMISE(leg == scene.segments.size() && (ended || leg == std::size_t(legs)));
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const char* broken = run(TRAK_FUZZ_BOX, text, 50);
    if (broken != nullptr) std::fprintf(stderr, "broken promise: %s\n", broken), std::abort();
    return 0;
}
