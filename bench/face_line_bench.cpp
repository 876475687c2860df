// trakbox's console line, formatted by write_face_line, next to a bare
// printf of the same line, both over the hit points of a real path.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ostream>
#include <vector>

#include "bench/legs.h"
#include "box/box_path.h"
#include "box/face_line.h"
#include "viewer/scene.h"

namespace {

struct Line3 {
    const char* word;
    const char* code;
    Point hit;
};

// The hits of a path's first legs, with the face words and octant codes
// cycled so that every word length comes up.
std::vector<Line3> lines() {
    static const char* const words[][2] = {{"desno", "110"}, {"gore", "111"}, {"napred", "101"},
                                           {"levo", "010"},  {"dole", "001"}, {"nazad", "100"},
                                           {"desna", "111"}};
    BoxTable t;
    box_table_set(t, 4, 3, 2);
    NullBuf sink;
    std::ostream out(&sink);
    scene = Scene{};
    trace_box_path(Line{Point{1, 1, 1}, Point{1, 0.7f, 0.3f}}, t, 4096, Point{1, 1, 1}, out);
    std::vector<Line3> v;
    for (std::size_t i = 0; i < scene.segments.size(); ++i) {
        v.push_back(Line3{words[i % 7][0], words[i % 7][1], scene.segments[i].b});
    }
    return v;
}

void BM_write_face_line(benchmark::State& state) {
    const std::vector<Line3> v = lines();
    NullBuf sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        for (const Line3& l : v) write_face_line(out, l.word, l.code, l.hit);
    }
    per_item(state, std::int64_t(v.size()), "per_line");
}
BENCHMARK(BM_write_face_line);

void BM_snprintf_face_line(benchmark::State& state) {
    const std::vector<Line3> v = lines();
    char buf[192];
    for (auto _ : state) {
        for (const Line3& l : v) {
            std::snprintf(buf, sizeof buf, "%s ravan %s, %f %f %f\n", l.word, l.code,
                          double(l.hit.x), double(l.hit.y), double(l.hit.z));
            benchmark::DoNotOptimize(buf);
        }
    }
    per_item(state, std::int64_t(v.size()), "per_line");
}
BENCHMARK(BM_snprintf_face_line);

// Through stdio's buffer to the null device, as a printf loop writes.
void BM_fprintf_face_line(benchmark::State& state) {
    const std::vector<Line3> v = lines();
    std::FILE* f = std::fopen("/dev/null", "w");
    if (f == nullptr) {
        state.SkipWithError("cannot open /dev/null");
        return;
    }
    for (auto _ : state) {
        for (const Line3& l : v) {
            std::fprintf(f, "%s ravan %s, %f %f %f\n", l.word, l.code, double(l.hit.x),
                         double(l.hit.y), double(l.hit.z));
        }
    }
    std::fclose(f);
    per_item(state, std::int64_t(v.size()), "per_line");
}
BENCHMARK(BM_fprintf_face_line);

}  // namespace
