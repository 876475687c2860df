#include <emscripten.h>

#include <cstddef>
#include <iostream>

#include "viewer/draw.h"
#include "viewer/platform.h"

namespace {

// The browser's immediate mode gathers a batch in a 2 MB buffer: 2 * 8192
// vertices fit with room to spare.
constexpr std::ptrdiff_t batch_segments = 8192;

}  // namespace

// A run of one colour code is drawn as one batch of lines and then one of
// dots: the same pixels as segment by segment, since nothing of another
// colour comes between, in two GL draws a batch instead of two a segment,
// which a browser's GL makes slow.
void draw_segments(const std::vector<Segment>& segments) {
    glPointSize(4.0f);
    for (auto run = segments.begin(); run != segments.end();) {
        auto end = run;
        while (end != segments.end() && end->colour == run->colour && end - run < batch_segments) {
            ++end;
        }
        apply_colour(run->colour);
        for (const GLenum mode : {GL_LINES, GL_POINTS}) {
            glBegin(mode);
            for (auto s = run; s != end; ++s) {
                glVertex3f(s->a.x, s->a.y, s->a.z);
                glVertex3f(s->b.x, s->b.y, s->b.z);
            }
            glEnd();
        }
        run = end;
    }
}

// The browser's GL has no glGetDoublev; GL keeps its matrices in floats, so
// widening them gives the same values.
void read_matrix(GLenum which, GLdouble m[16]) {
    GLfloat f[16];
    glGetFloatv(which, f);
    for (int i = 0; i < 16; ++i) m[i] = f[i];
}

// The dialogue's text stays on the page, and the page says why no picture
// comes. The runtime stays as it is, with no exit status: the program has
// not failed, the browser has.
void window_unavailable() {
    std::cerr << "Ovaj pregledac ne moze da nacrta sliku: probajte drugi pregledac ili ukljucite "
                 "hardversku grafiku.\n"
              << std::flush;
    emscripten_exit_with_live_runtime();
}
