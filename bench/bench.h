#pragma once
// What the benchmarks share: a stream that drops what is written to it (so
// that writing costs no more than the call), and a time-per-item counter.

#include <benchmark/benchmark.h>

#include <ostream>
#include <streambuf>

struct NullStream : std::ostream {
    struct Drop : std::streambuf {
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
        int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    } drop;
    NullStream() : std::ostream(&drop) {}
};

/// Reports the time per item, `items` a run, under the counter `name`.
inline void per_item(benchmark::State& state, std::size_t items, const char* name) {
    state.counters[name] = benchmark::Counter(
        double(items), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
