// trakbox's console line formatted by write_face_line, beside snprintf of
// the same line, over the hit points of a real path with every face word.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <vector>

#include "bench/bench.h"
#include "box/box_path.h"
#include "box/face_line.h"
#include "viewer/scene.h"

namespace {

const char* const words[7][2] = {{"desno", "110"}, {"gore", "111"}, {"napred", "101"},
                                 {"levo", "010"},  {"dole", "001"}, {"nazad", "100"},
                                 {"desna", "111"}};

std::vector<Point> hits() {
    BoxTable t;
    box_table_set(t, 4, 3, 2);
    NullStream out;
    scene = Scene{};
    trace_box_path(Line{Point{1, 1, 1}, Point{1, 0.7f, 0.3f}}, t, 4096, Point{1, 1, 1}, out);
    std::vector<Point> v;
    for (const Segment& s : scene.segments) v.push_back(s.b);
    return v;
}

void BM_write_face_line(benchmark::State& state) {
    const std::vector<Point> v = hits();
    NullStream out;
    for (auto _ : state) {
        for (std::size_t i = 0; i < v.size(); ++i) write_face_line(out, words[i % 7][0], words[i % 7][1], v[i]);
    }
    per_item(state, v.size(), "per_line");
}
BENCHMARK(BM_write_face_line);

void BM_snprintf_face_line(benchmark::State& state) {
    const std::vector<Point> v = hits();
    char buf[192];
    for (auto _ : state) {
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::snprintf(buf, sizeof buf, "%s ravan %s, %f %f %f\n", words[i % 7][0], words[i % 7][1],
                          double(v[i].x), double(v[i].y), double(v[i].z));
            benchmark::DoNotOptimize(buf);
        }
    }
    per_item(state, v.size(), "per_line");
}
BENCHMARK(BM_snprintf_face_line);

}  // namespace
