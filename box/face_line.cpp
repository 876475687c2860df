#include "box/face_line.h"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace {

// Room for the longest line: a float's integer part has at most 39 digits,
// so each coordinate takes at most 47 characters.
constexpr std::size_t line_room = 192;

char* put(char* p, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(p, text, n);
    return p + n;
}

// Fixed notation with six decimals rounds the exact binary value as "%f"
// does (ties to even), and is several times faster than printf.
char* put_fixed(char* p, char* last, float v) {
    return std::to_chars(p, last, double(v), std::chars_format::fixed, 6).ptr;
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
