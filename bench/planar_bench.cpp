// Tracing a long path, next to its floor: storing the same legs in the
// scene, which the tracer must do anyway. Both start from an empty scene
// each time, so both pay for the scene's growth.

#include <benchmark/benchmark.h>

#include <vector>

#include "planar/planar_path.h"
#include "viewer/scene.h"

namespace {

constexpr int bounces = 1000000;

const Line ray{Point{1, 1}, Point{1, 0.3f}};

RectTable table() {
    RectTable t;
    rect_table_set(t, 4, 2);
    return t;
}

void per_leg(benchmark::State& state) {
    state.counters["per_leg"] = benchmark::Counter(
        bounces, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_trace_planar_path(benchmark::State& state) {
    const RectTable t = table();
    for (auto _ : state) {
        scene = Scene{};
        trace_planar_path(ray, bounces, t);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    per_leg(state);
}
BENCHMARK(BM_trace_planar_path)->Unit(benchmark::kMillisecond);

void BM_scene_add_segment(benchmark::State& state) {
    scene = Scene{};
    trace_planar_path(ray, bounces, table());
    const std::vector<Segment> legs = scene.segments;
    for (auto _ : state) {
        scene = Scene{};
        for (const Segment& s : legs) scene_add_segment(s, colour::red);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    per_leg(state);
}
BENCHMARK(BM_scene_add_segment)->Unit(benchmark::kMillisecond);

}  // namespace
