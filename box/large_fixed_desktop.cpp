#include "box/large_fixed.h"

#include <charconv>

char* put_large_fixed(char* p, char* last, double v) {
    return std::to_chars(p, last, v, std::chars_format::fixed, 6).ptr;
}
