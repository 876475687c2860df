#include "console/page_input.h"

#include <emscripten.h>

namespace {

// Copies up to `size` bytes of the page's input to `buf` once it has any,
// while the browser goes on; 0 at the end of input. Module.trakInput is the
// page's (web/page.js).
EM_ASYNC_JS(int, next_input, (char* buf, int size), {
    const bytes = await Module.trakInput(size);
    HEAPU8.set(bytes, buf);
    return bytes.length;
});

struct PageInput : std::streambuf {
    char buf[4096];

    int_type underflow() override {
        const int n = next_input(buf, sizeof buf);
        if (n <= 0) return traits_type::eof();
        setg(buf, buf, buf + n);
        return traits_type::to_int_type(buf[0]);
    }
};

}  // namespace

std::streambuf& page_input() {
    static PageInput in;
    return in;
}
