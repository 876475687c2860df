#pragma once
// What the path benchmarks share: the path lengths they run, the counters
// they report, and the floor each tracer is held against.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <streambuf>
#include <vector>

#include "viewer/shapes.h"

/// Runs a benchmark at 10^3, 10^5 and 10^6 legs (its argument).
void path_lengths(benchmark::internal::Benchmark* b);

/// Reports `items` done per iteration as items per second and as the time
/// per item, under the counter `name` ("per_leg", "per_line").
void per_item(benchmark::State& state, std::int64_t items, const char* name);

/// Times storing `legs` in red in an empty scene, as a tracer must: the
/// floor its tracing is measured against.
void store_legs(benchmark::State& state, const std::vector<Segment>& legs);

/// A stream buffer that drops everything written to it, so that a stream
/// costs no more than its call.
struct NullBuf : std::streambuf {
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
};
