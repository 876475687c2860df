// A libFuzzer target: arbitrary bytes through a whole dialogue and the first
// legs of its path: trakbox's if TRAK_FUZZ_BOX is 1, else trakflat's.
// A broken promise (promises.h) is reported and ends the run.

#include <cstdint>
#include <cstdlib>

#include "promises.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(bytes), size);
    const char* broken = promises::run(TRAK_FUZZ_BOX, text, 50, false);
    if (broken != nullptr) std::fprintf(stderr, "broken promise: %s\n", broken), std::abort();
    return 0;
}
