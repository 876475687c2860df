#pragma once
// Where a program built for the browser meets the scripts of its page: web/page.js (the
// console, the input, the frames and the exit) and web/controls.js (touches and keys), both run
// with the program's own script (cmake/web.cmake). Everything that crosses between the two is
// here or named here.
//
// From the program to the page, besides these functions: standard output and standard error,
// byte by byte, to Module.stdout and Module.stderr (#console and #errors); each frame drawn, to
// Module.postMainLoop, which counts Module.frames; the program's end, to Module.onExit, which
// keeps Module.exitStatus. Test drivers read Module.frames and Module.exitStatus.

extern "C" {

/// Copies up to `size` bytes of the page's input to `buf` once it has any, while the browser goes
/// on; 0 at the end of input. Module.trakInput in web/page.js, awaited (console/platform_page.cpp).
int page_input(char* buf, int size);

/// The canvas's name, the ends of the path's legs (a line each) and a line for the legs not
/// listed, for the page to show (viewer/words.h). Module.trakDescribe in web/page.js.
void page_describe(const char* name, const char* ends, const char* more);

/// The question that the answer read next answers, which names the page's answer field
/// (console/platform_page.cpp). Module.trakAsking in web/page.js.
void page_asking(const char* question);

/// Called by web/controls.js: the first `count` fingers (up to two) on the canvas now at (ax, ay)
/// and (bx, by), in canvas pixels (viewer/controls_page.cpp).
void page_touch(int count, double ax, double ay, double bx, double by);

/// Called by web/controls.js: a key pressed on the canvas, an ArrowKey (viewer/gesture.h) or a
/// character; whether the program took it (viewer/controls_page.cpp).
int page_key(int key);

/// Called by web/controls.js for the Home key on the canvas and the button "Pocetni pogled": the
/// first view back, as a new window size brings it on a desktop (viewer/controls_page.cpp).
void page_first_view();
}
