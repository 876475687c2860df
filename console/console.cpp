#include "console/console.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace {

// Moves to the first character of the next answer, reading further lines as
// needed. False at the end of input.
bool next_answer(Console& c) {
    for (;;) {
        while (c.pos < c.line.size() &&
               std::isspace(static_cast<unsigned char>(c.line[c.pos])))
            ++c.pos;
        if (c.pos < c.line.size()) return true;
        if (!std::getline(c.in, c.line)) return false;
        c.pos = 0;
    }
}

void refuse(Console& c) {
    c.out << "Unesite broj\n";
    c.line.clear();
    c.pos = 0;
}

// Calls parse(text, &end) on the answer until it yields a number it accepts.
template <typename T, typename Parse>
bool read_number(Console& c, const char* prompt, T& value, Parse parse) {
    for (;;) {
        c.out << prompt;
        if (!next_answer(c)) return false;
        const char* text = c.line.c_str() + c.pos;
        char* end = nullptr;
        T v{};
        if (parse(text, &end, v) && end != text) {
            c.pos += std::size_t(end - text);
            value = v;
            return true;
        }
        refuse(c);
    }
}

}  // namespace

bool console_read_float(Console& c, const char* prompt, float& value) {
    return read_number(c, prompt, value, [](const char* s, char** end, float& v) {
        errno = 0;
        v = std::strtof(s, end);
        // strtof also takes "nan" and "inf", and overflows to infinity:
        // none of them is an answer. Underflow to zero or a subnormal is.
        return std::isfinite(v);
    });
}

bool console_read_int(Console& c, const char* prompt, std::int64_t& value) {
    return read_number(c, prompt, value, [](const char* s, char** end, std::int64_t& v) {
        v = std::strtoll(s, end, 10);
        return true;
    });
}

int console_input_ended(Console& c) {
    c.out.flush();
    c.err << "Unos je prekinut\n";
    c.err.flush();
    return 1;
}
