// Tracing a path in the box, its lines written to a stream that drops them,
// next to its floor: storing the same legs in the scene.

#include <benchmark/benchmark.h>

#include <ostream>
#include <vector>

#include "bench/legs.h"
#include "box/box_path.h"
#include "viewer/scene.h"

namespace {

// Meets no edge or corner within 10^6 bounces, so every count traces as
// many legs; the benchmark fails if that ever changes.
const Point start{1, 1, 1};
const Point direction{1, 0.7f, 0.3f};

BoxTable table() {
    BoxTable t;
    box_table_set(t, 4, 3, 2);
    return t;
}

void trace(std::int32_t bounces, std::ostream& out) {
    scene = Scene{};
    trace_box_path(Line{start, direction}, table(), bounces, start, out);
}

void BM_trace_box_path(benchmark::State& state) {
    const auto bounces = std::int32_t(state.range(0));
    NullBuf sink;
    std::ostream out(&sink);
    for (auto _ : state) {
        trace(bounces, out);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    if (scene.segments.size() != std::size_t(bounces)) {
        state.SkipWithError("the path ended early at an edge or a corner");
    }
    per_item(state, bounces, "per_leg");
}
BENCHMARK(BM_trace_box_path)->Apply(path_lengths);

void BM_store_box_legs(benchmark::State& state) {
    NullBuf sink;
    std::ostream out(&sink);
    trace(std::int32_t(state.range(0)), out);
    store_legs(state, std::vector<Segment>(scene.segments));
}
BENCHMARK(BM_store_box_legs)->Apply(path_lengths);

}  // namespace
