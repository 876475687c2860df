#include "box/large_fixed.h"

#include <cstdio>

// emscripten's C++ library has no floating-point to_chars; its printf is
// as exact.
char* put_large_fixed(char* p, char* last, double v) {
    return p + std::snprintf(p, std::size_t(last - p), "%f", v);
}
