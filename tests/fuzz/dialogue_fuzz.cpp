// A libFuzzer target: arbitrary bytes through a whole dialogue and the first
// legs of its path, trakflat's, or trakbox's when built with TRAK_FUZZ_BOX.
// A broken promise (promises.h) is reported and ends the run.

#include <cstdint>
#include <cstdlib>

#include "promises.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
#ifdef TRAK_FUZZ_BOX
    const char* broken = promises::run(true, text, 50, false);
#else
    const char* broken = promises::run(false, text, 50, false);
#endif
    if (broken != nullptr) std::fprintf(stderr, "broken promise: %s\n", broken), std::abort();
    return 0;
}
