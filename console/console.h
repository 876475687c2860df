#pragma once
// Reading numeric answers from the console, one value per question, as
// scanf's "%f" and "%d" would, but safe on any input: an answer that is no
// number is refused and asked again, and the end of input is reported
// instead of being read over and over.

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>

/// The console of one dialogue. Tests hand in string streams.
struct Console {
    Console(std::istream& i, std::ostream& o, std::ostream& e) : in(i), out(o), err(e) {}
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    std::string line;      // the input line being read
    std::size_t pos = 0;   // how much of it the answers so far used
};

/// Prints `prompt` and reads a float. Leading blanks and line breaks are
/// skipped and whatever follows the number stays for the next question.
/// Where no finite single-precision number can be read, prints
/// "Unesite broj\n", drops the rest of the line and asks again. Returns
/// false at the end of input (or on a read error).
bool console_read_float(Console& c, const char* prompt, float& value);

/// As console_read_float, for a whole number. Values beyond 64 bits are
/// clamped to the 64-bit range; the caller judges the range it wants.
bool console_read_int(Console& c, const char* prompt, std::int64_t& value);

/// Reports an input that ended before the dialogue did ("Unos je
/// prekinut\n" on the error stream) and gives the exit status to end with.
int console_input_ended(Console& c);
