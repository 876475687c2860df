#include "box/face_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "box/large_fixed.h"

namespace {

// Room for the longest line: a float's integer part has at most 39 digits,
// so each coordinate takes at most 47 characters.
constexpr std::size_t line_room = 192;

// Below this size a coordinate times 10^6 fits in 64 bits as an integer.
constexpr double integer_limit = 1e12;

char* put(char* p, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(p, text, n);
    return p + n;
}

void put_pair(char* p, std::uint32_t n) {
    p[0] = char('0' + n / 10);
    p[1] = char('0' + n % 10);
}

// "%f" of a float widened to double: the exact binary value rounded to six
// decimals in the current rounding mode. A float has 24 significant bits
// and 10^6 = 2^6 * 15625 needs 14 more, so v * 10^6 is exact in double and
// rounding it to an integer rounds exactly as printf does. Ryu's fixed
// format (to_chars, put_large_fixed) gives the same digits for the rest, at about four times
// the cost, which showed in trakbox's time per leg.
char* put_fixed(char* p, char* last, float v) {
    const double d = std::fabs(double(v));
    if (!(d < integer_limit)) return put_large_fixed(p, last, double(v));
    if (std::signbit(v)) *p++ = '-';  // also "-0.000000", as printf writes
    const auto millionths = std::uint64_t(std::nearbyint(d * 1e6));
    p = std::to_chars(p, last, millionths / 1000000).ptr;
    *p++ = '.';
    // The six decimals as three independent pairs: a chain of six divisions
    // by ten was a third of the line's cost.
    const auto fraction = std::uint32_t(millionths % 1000000);
    put_pair(p, fraction / 10000);
    put_pair(p + 2, fraction / 100 % 100);
    put_pair(p + 4, fraction % 100);
    return p + 6;
}

}  // namespace

void write_face_line(std::ostream& out, const char* word, const char* code, Point hit) {
    char buf[line_room];
    char* const last = buf + line_room;
    char* p = put(buf, word);
    p = put(p, " ravan ");
    p = std::copy(code, code + 3, p);
    p = put(p, ", ");
    p = put_fixed(p, last, hit.x);
    *p++ = ' ';
    p = put_fixed(p, last, hit.y);
    *p++ = ' ';
    p = put_fixed(p, last, hit.z);
    *p++ = '\n';
    out.write(buf, p - buf);
}
