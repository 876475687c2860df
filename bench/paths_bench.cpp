// Tracing a path on the rectangle and in the box, at 10^3, 10^5 and 10^6
// legs, each beside its floor: storing the same legs in an empty scene,
// which a tracer must do anyway. Each run starts from an empty scene, so
// both pay for its growth. trakbox's lines go to a stream that drops them.

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/bench.h"
#include "box/box_path.h"
#include "planar/planar_path.h"
#include "viewer/scene.h"

namespace {

// Neither path meets a corner or an edge within 10^6 bounces.
void trace(bool box, std::int32_t bounces) {
    static NullStream out;
    scene = Scene{};
    if (box) {
        BoxTable t;
        box_table_set(t, 4, 3, 2);
        trace_box_path(Line{Point{1, 1, 1}, Point{1, 0.7f, 0.3f}}, t, bounces, Point{1, 1, 1}, out);
    } else {
        RectTable t;
        rect_table_set(t, 4, 2);
        trace_planar_path(Line{Point{1, 1}, Point{1, 0.3f}}, bounces, t);
    }
}

void BM_trace(benchmark::State& state, bool box) {
    const auto bounces = std::int32_t(state.range(0));
    for (auto _ : state) {
        trace(box, bounces);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    if (scene.segments.size() != std::size_t(bounces)) state.SkipWithError("the path ended early");
    per_item(state, std::size_t(bounces), "per_leg");
}

void BM_store(benchmark::State& state, bool box) {
    trace(box, std::int32_t(state.range(0)));
    const std::vector<Segment> legs = scene.segments;
    for (auto _ : state) {
        scene = Scene{};
        for (const Segment& s : legs) scene_add_segment(s, colour::red);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    per_item(state, legs.size(), "per_leg");
}

void lengths(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK_CAPTURE(BM_trace, planar, false)->Apply(lengths);
BENCHMARK_CAPTURE(BM_store, planar, false)->Apply(lengths);
BENCHMARK_CAPTURE(BM_trace, box, true)->Apply(lengths);
BENCHMARK_CAPTURE(BM_store, box, true)->Apply(lengths);

}  // namespace
