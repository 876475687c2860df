// Tracing a path on the rectangle, next to its floor: storing the same legs
// in the scene, which the tracer must do anyway.

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/legs.h"
#include "planar/planar_path.h"
#include "viewer/scene.h"

namespace {

// Meets no corner, so every count traces as many legs.
const Line ray{Point{1, 1}, Point{1, 0.3f}};

RectTable table() {
    RectTable t;
    rect_table_set(t, 4, 2);
    return t;
}

void BM_trace_planar_path(benchmark::State& state) {
    const RectTable t = table();
    const auto bounces = std::int32_t(state.range(0));
    for (auto _ : state) {
        scene = Scene{};
        trace_planar_path(ray, bounces, t);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    per_item(state, bounces, "per_leg");
}
BENCHMARK(BM_trace_planar_path)->Apply(path_lengths);

void BM_store_planar_legs(benchmark::State& state) {
    scene = Scene{};
    trace_planar_path(ray, std::int32_t(state.range(0)), table());
    store_legs(state, std::vector<Segment>(scene.segments));
}
BENCHMARK(BM_store_planar_legs)->Apply(path_lengths);

}  // namespace
