#include "bench/legs.h"

#include "viewer/scene.h"

void path_lengths(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
}

void per_item(benchmark::State& state, std::int64_t items, const char* name) {
    state.SetItemsProcessed(state.iterations() * items);
    state.counters[name] = benchmark::Counter(
        double(items), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void store_legs(benchmark::State& state, const std::vector<Segment>& legs) {
    // Each run starts from an empty scene, as a program does, so the floor
    // pays for the scene's growth as the tracer does.
    for (auto _ : state) {
        scene = Scene{};
        for (const Segment& s : legs) scene_add_segment(s, colour::red);
        benchmark::DoNotOptimize(scene.segments.data());
    }
    per_item(state, std::int64_t(legs.size()), "per_leg");
}
