// GL's buffer objects, which the browser's GL has, are declared as extensions.
#define GL_GLEXT_PROTOTYPES
#include <emscripten.h>

#include <iostream>

#include "viewer/draw.h"
#include "viewer/platform.h"
#include "viewer/scene.h"
#include "viewer/viewer.h"
#include "viewer/words.h"
#include "web/page.h"

namespace {

// Segments of one colour code, next to each other in the scene's list: as
// vertices first to first + count - 1 of the buffer, two a segment.
struct Run {
    ColourCode colour = colour::black;
    GLint first = 0;
    GLsizei count = 0;
};

GLuint buffer = 0;
std::vector<Run> runs;

// The segments' ends, in order, into a GPU buffer, and the runs of one colour.
void upload(const std::vector<Segment>& segments) {
    std::vector<GLfloat> ends;
    ends.reserve(segments.size() * 6);
    for (const Segment& s : segments) {
        ends.insert(ends.end(), {s.a.x, s.a.y, s.a.z, s.b.x, s.b.y, s.b.z});
        if (runs.empty() || runs.back().colour != s.colour) {
            const GLint first = runs.empty() ? 0 : runs.back().first + runs.back().count;
            runs.push_back(Run{s.colour, first, 0});
        }
        runs.back().count += 2;
    }
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(ends.size() * sizeof(GLfloat)), ends.data(),
                 GL_STATIC_DRAW);
}

}  // namespace

// The browser's GL copies every vertex of immediate mode again on every
// frame, so a long path took seconds a frame. The scene no longer changes
// once the window shows: its segments go to the GPU once, and each frame
// draws a run of one colour as its lines and then its dots, a few calls
// whatever its length. The pixels are those of segment by segment, since
// nothing of another colour comes between.
void draw_segments(const std::vector<Segment>& segments) {
    if (segments.empty()) return;
    const bool first = buffer == 0;
    if (first) upload(segments);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glPointSize(4.0f);
    for (const Run& r : runs) {
        apply_colour(r.colour);
        for (const GLenum mode : {GL_LINES, GL_POINTS}) {
            // The browser's GL picks its shader (with a point size or not) as
            // the vertex arrays change, not as the mode does. Immediate mode,
            // which draws the rest, has a vertex array of its own.
            glEnableClientState(GL_VERTEX_ARRAY);
            glVertexPointer(3, GL_FLOAT, 3 * sizeof(GLfloat), nullptr);
            glDrawArrays(mode, r.first, r.count);
            glDisableClientState(GL_VERTEX_ARRAY);
        }
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    // The browser's GL makes its shaders as the first frame needs them, and
    // each one made sets the current colour to white, so the first frame's
    // colours may be wrong: it is drawn again at once.
    if (first) glutPostRedisplay();
}

// A page is drawn when something asks for a frame (GLUT's redisplay, at
// most once a display refresh): a drag, a touch, a key or a resize. Nothing
// is pending between frames, so the runtime is told to stay, or it would
// end once main has given way to the browser.
void while_idle(void (*)()) { EM_ASM(runtimeKeepalivePush()); }

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

EM_JS(void, page_describe, (const char* name, const char* ends, const char* more), {
    Module.trakDescribe(UTF8ToString(name), UTF8ToString(ends), UTF8ToString(more));
});

// A long path's first thousand legs: more would only slow the page.
void viewer_describe(const float size[], int axes, Point start, Point direction) {
    const PictureWords w = picture_words(scene.segments, size, axes, start, direction, 1000);
    page_describe(w.name.c_str(), w.ends.c_str(), w.more.c_str());
}
