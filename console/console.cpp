#include "console/console.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "console/platform.h"

namespace {

// Takes the next word (a run of characters between blanks or line ends),
// reading further lines as needed. False at the end of input.
bool next_word(Console& c, std::string& word) {
    const auto blank = [&](std::size_t i) {
        return std::isspace(static_cast<unsigned char>(c.line[i])) != 0;
    };
    for (;;) {
        while (c.pos < c.line.size() && blank(c.pos)) ++c.pos;
        if (c.pos < c.line.size()) break;
        if (!std::getline(c.in, c.line)) return false;
        c.pos = 0;
    }
    const std::size_t start = c.pos;
    while (c.pos < c.line.size() && !blank(c.pos)) ++c.pos;
    word = c.line.substr(start, c.pos - start);
    return true;
}

// Whether the whole word is a finite single-precision number, as strtof
// reads it. strtof also takes "nan" and "inf", and overflows to infinity:
// none of them is an answer. Underflow to zero or a subnormal is one. A NUL
// inside the word ends strtof's reading early, so such a word is refused.
bool read_float(const std::string& word, float& value) {
    const char* text = word.c_str();
    char* end = nullptr;
    const float v = std::strtof(text, &end);
    if (end != text + word.size() || !std::isfinite(v)) return false;
    value = v;
    return true;
}

// Whether the word is a number written with a decimal comma ("2,5").
bool comma_number(std::string word) {
    bool comma = false;
    for (char& ch : word) {
        if (ch == ',') {
            ch = '.';
            comma = true;
        }
    }
    float v;
    return comma && read_float(word, v);
}

// An optional sign, then digits only.
bool whole_number(const std::string& word) {
    const std::size_t first = word[0] == '+' || word[0] == '-' ? 1 : 0;
    if (first == word.size()) return false;
    for (std::size_t i = first; i < word.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(word[i]))) return false;
    }
    return true;
}

// The question a prompt puts: its heading, if any, and the prompt, without
// the blanks and line ends about them ("Unesi koordinate pocetne tacke x=").
std::string question(const char* heading, const char* prompt) {
    std::string q = std::string(heading) + (*heading ? " " : "") + prompt;
    while (!q.empty() && std::isspace(static_cast<unsigned char>(q.back()))) q.pop_back();
    return q;
}

// Prints `prompt` and reads words until `judge` takes one: it gives
// nullptr, or the message that refuses the word. A refused word's line is
// dropped. False at the end of input.
template <typename Judge>
bool ask_word(Console& c, const char* prompt, Judge judge) {
    for (;;) {
        c.out << prompt;
        console_asking(question(c.heading, prompt));
        std::string word;
        if (!next_word(c, word)) return false;
        const char* refusal = judge(word);
        if (refusal == nullptr) return true;
        c.out << refusal;
        c.line.clear();
        c.pos = 0;
    }
}

}  // namespace

bool console_read_float(Console& c, const char* prompt, float& value) {
    return ask_word(c, prompt, [&](const std::string& word) -> const char* {
        if (read_float(word, value)) return nullptr;
        return comma_number(word) ? "Unesite broj sa decimalnom tackom\n" : "Unesite broj\n";
    });
}

bool console_read_int(Console& c, const char* prompt, std::int64_t& value) {
    return ask_word(c, prompt, [&](const std::string& word) -> const char* {
        if (whole_number(word)) {
            value = std::strtoll(word.c_str(), nullptr, 10);  // clamped beyond 64 bits
            return nullptr;
        }
        float v;
        return read_float(word, v) || comma_number(word) ? "Unesite ceo broj\n" : "Unesite broj\n";
    });
}

int console_output_lost(Console& c) {
    if (c.out.flush()) return 0;
    c.err << "Greska pri pisanju izlaza\n";
    c.err.flush();
    return console_exit(1);
}

int console_input_ended(Console& c) {
    c.out.flush();
    c.err << "Unos je prekinut\n";
    c.err.flush();
    return console_exit(1);
}
