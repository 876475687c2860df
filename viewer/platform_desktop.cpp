#include <cmath>
#include <cstdlib>

#include "viewer/draw.h"
#include "viewer/pace.h"
#include "viewer/platform.h"
#include "viewer/viewer.h"

void draw_segments(const std::vector<Segment>& segments) {
    for (const Segment& s : segments) draw_segment(s);
}

void read_matrix(GLenum which, GLdouble m[16]) { glGetDoublev(which, m); }

namespace {

void (*redraw)() = nullptr;
double due = 0;  // when the next frame is due, in the toolkit's milliseconds

// Draws a frame and sets the timer for the next. Between frames the toolkit
// sleeps until an event or the timer comes, so a window at rest costs one
// frame a period, and a mouse event, which asks for a frame of its own, is
// drawn at once.
void on_time(int) {
    redraw();
    const int now = glutGet(GLUT_ELAPSED_TIME);
    due = next_frame_due(due, now);
    glutTimerFunc(unsigned(std::ceil(due - now)), on_time, 0);
}

}  // namespace

void while_idle(void (*display)()) {
    redraw = display;
    due = glutGet(GLUT_ELAPSED_TIME);
    glutTimerFunc(0, on_time, 0);
}

void window_unavailable() { std::exit(1); }

void viewer_describe(const float[], int, Point, Point) {}
