#pragma once
// Reading numeric answers from the console, one word per question: an
// answer that is not a number is refused where it is typed and asked again,
// and the end of input is reported instead of being read over and over.

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
    // The line that heads the prompts asked now, as "Unesi pravac pocetne tacke", or "".
    const char* heading = "";
};

/// Prints `prompt` and reads the next word (a run of characters between
/// blanks, tabs or line ends; further words on the line stay for the next
/// questions). The whole word must be a finite single-precision number as
/// strtof reads it; otherwise prints "Unesite broj sa decimalnom tackom\n"
/// if it would be one with its commas read as points, else "Unesite
/// broj\n", drops the rest of the line and asks again. Returns false at the
/// end of input (or on a read error).
bool console_read_float(Console& c, const char* prompt, float& value);

/// As console_read_float, for a word of an optional sign and digits. A
/// number not written so ("2.9", "1e6", "3,0") is refused with "Unesite ceo
/// broj\n", anything else with "Unesite broj\n". Values beyond 64 bits are
/// clamped to the 64-bit range; the caller judges the range it wants.
bool console_read_int(Console& c, const char* prompt, std::int64_t& value);

/// Flushes the output and checks that everything written to it arrived.
/// If not (a full disk, a closed stream), reports "Greska pri pisanju
/// izlaza\n" on the error stream and gives the exit status to end with;
/// else gives 0.
int console_output_lost(Console& c);

/// Sets up the standard streams so that both programs, which call this
/// first, read and write the same bytes everywhere. On Windows, standard
/// output and standard error write each "\n" as it is, not the "\r\n" of
/// the C library's default text mode; in a web page, std::cin awaits the
/// page's input; elsewhere nothing changes.
void console_standard_streams();

/// Reports an input that ended before the dialogue did ("Unos je
/// prekinut\n" on the error stream) and gives the exit status to end with.
int console_input_ended(Console& c);
