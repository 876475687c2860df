#include <cstdlib>

#include "viewer/draw.h"
#include "viewer/platform.h"
#include "viewer/viewer.h"

void draw_segments(const std::vector<Segment>& segments) {
    for (const Segment& s : segments) draw_segment(s);
}

void read_matrix(GLenum which, GLdouble m[16]) { glGetDoublev(which, m); }

void while_idle(void (*display)()) { glutIdleFunc(display); }

void window_unavailable() { std::exit(1); }

void viewer_describe(const float[], int, Point, Point) {}
