#include <emscripten.h>

#include <cstdlib>
#include <iostream>
#include <streambuf>

#include "console/console.h"
#include "console/platform.h"
#include "web/page.h"

// A browser cannot block on a read: the program gives way while the page
// waits for the user's next line.

namespace {

EM_JS(void, page_asking, (const char* question), { Module.trakAsking(UTF8ToString(question)); });

EM_ASYNC_JS(int, page_input, (char* buf, int size), {
    const bytes = await Module.trakInput(size);
    HEAPU8.set(bytes, buf);
    return bytes.length;
});

// Awaits each piece of input the page hands over (a typed line, or the
// answers of the address or of a file) and ends where the page's input ends.
struct PageInput : std::streambuf {
    char buf[4096];

    int_type underflow() override {
        const int n = page_input(buf, sizeof buf);
        if (n <= 0) return traits_type::eof();
        setg(buf, buf, buf + n);
        return traits_type::to_int_type(buf[0]);
    }
};

}  // namespace

void console_standard_streams() {
    static PageInput in;
    std::cin.rdbuf(&in);
}

void console_asking(const std::string& question) { page_asking(question.c_str()); }

int console_exit(int status) { std::exit(status); }
