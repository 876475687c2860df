// Frame timing without a tracer: preloaded into a program, this library
// passes every glXSwapBuffers on to the real one and then appends the time
// (CLOCK_MONOTONIC, nanoseconds) to the file named by TRAK_SWAP_LOG, one
// line per frame. The first frame also logs the renderer and GL version.
//
//     LD_PRELOAD=libswap_log.so TRAK_SWAP_LOG=swaps.txt trakflat < input
//
// apitrace would give the same times but records every vertex, which slows
// a frame of many segments far more than the drawing itself. This costs one
// clock read and one write per frame; the write is unbuffered so a program
// ended by a signal loses nothing.

#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

using SwapFn = void (*)(Display*, GLXDrawable);
using StringFn = const GLubyte* (*)(GLenum);

int log_fd = -2;  // -2: not opened yet; -1: no log wanted

void put(const char* text, int n) {
    if (n > 0 && write(log_fd, text, std::size_t(n)) < 0) log_fd = -1;
}

void log_driver() {
    const auto get = reinterpret_cast<StringFn>(dlsym(RTLD_DEFAULT, "glGetString"));
    if (get == nullptr) return;
    char text[512];
    const auto str = [&](GLenum e) {
        const GLubyte* s = get(e);
        return s != nullptr ? reinterpret_cast<const char*>(s) : "?";
    };
    put(text, std::snprintf(text, sizeof text, "renderer %s\nversion %s\n", str(GL_RENDERER),
                            str(GL_VERSION)));
}

}  // namespace

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable) {
    static const auto real = reinterpret_cast<SwapFn>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    if (log_fd == -2) {
        const char* path = std::getenv("TRAK_SWAP_LOG");
        log_fd = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644) : -1;
        if (log_fd >= 0) log_driver();
    }
    real(dpy, drawable);
    if (log_fd < 0) return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    char text[32];
    put(text, std::snprintf(text, sizeof text, "%lld\n",
                            (long long)now.tv_sec * 1000000000LL + now.tv_nsec));
}
