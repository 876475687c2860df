// Frame timing without a tracer (apitrace would record every vertex, which
// slows a large frame far more than drawing it): preloaded into a program,
// this passes every glClear and glXSwapBuffers on and, at each swap, appends
// to the file TRAK_SWAP_LOG names a line "START END": the times in
// nanoseconds (CLOCK_MONOTONIC) of the frame's first glClear and of the end
// of its swap (START is 0 for a frame that cleared nothing). The first line
// names the GL renderer. Unbuffered, so a program ended by a signal loses
// nothing.
//
//     LD_PRELOAD=libswap_log.so TRAK_SWAP_LOG=swaps.txt trakflat < input

#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long started = 0;  // the current frame's first glClear

long long now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

}  // namespace

extern "C" void glClear(GLbitfield mask) {
    static const auto real = reinterpret_cast<void (*)(GLbitfield)>(dlsym(RTLD_NEXT, "glClear"));
    if (started == 0) started = now();
    real(mask);
}

extern "C" void glXSwapBuffers(Display* dpy, GLXDrawable drawable) {
    static const auto real =
        reinterpret_cast<void (*)(Display*, GLXDrawable)>(dlsym(RTLD_NEXT, "glXSwapBuffers"));
    static int fd = -2;  // -2: not opened yet
    char text[512];
    if (fd == -2) {
        const char* path = std::getenv("TRAK_SWAP_LOG");
        fd = path != nullptr ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644) : -1;
        // Looked up, not linked: the program's own GL library answers.
        const auto get = reinterpret_cast<const GLubyte* (*)(GLenum)>(dlsym(RTLD_DEFAULT, "glGetString"));
        const auto name = get != nullptr ? reinterpret_cast<const char*>(get(GL_RENDERER)) : nullptr;
        if (fd >= 0 && write(fd, text, std::snprintf(text, sizeof text, "renderer %s\n", name ? name : "?")) < 0) fd = -1;
    }
    real(dpy, drawable);
    const long long start = started;
    started = 0;
    if (fd < 0) return;
    const int n = std::snprintf(text, sizeof text, "%lld %lld\n", start, now());
    if (write(fd, text, std::size_t(n)) < 0) fd = -1;
}
