// Frame timing without a tracer (apitrace would record every vertex, which
// slows a large frame far more than drawing it): preloaded into a program,
// this passes every glXSwapBuffers on and then appends the time in
// nanoseconds (CLOCK_MONOTONIC) to the file TRAK_SWAP_LOG names, a line a
// frame; the first line names the GL renderer. Unbuffered, so a program
// ended by a signal loses nothing.
//
//     LD_PRELOAD=libswap_log.so TRAK_SWAP_LOG=swaps.txt trakflat < input

#include <GL/glx.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

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
    if (fd < 0) return;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    const int n = std::snprintf(text, sizeof text, "%lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
    if (write(fd, text, std::size_t(n)) < 0) fd = -1;
}
