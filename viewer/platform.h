#pragma once
// What the window and drawing code does differently on a desktop and in a
// web page (platform_desktop.cpp, platform_page.cpp).

#include <vector>

#include "viewer/glut.h"
#include "viewer/shapes.h"

/// Draws the segments in order, each as draw_segment does.
void draw_segments(const std::vector<Segment>& segments);

/// What the window does while the toolkit is idle: a desktop's draws
/// again with `display` continuously, at the screen's pace (a frame each
/// frame_period_ms, or at once after a slower frame); a page's draws only
/// when asked, and the program is kept running between its frames.
void while_idle(void (*display)());

/// Reads the current GL matrix `which` (GL_MODELVIEW_MATRIX or
/// GL_PROJECTION_MATRIX) into m, column by column.
void read_matrix(GLenum which, GLdouble m[16]);

/// Ends the program when the toolkit could open no window. freeglut ends
/// the program itself then, so only a browser without WebGL gets here.
[[noreturn]] void window_unavailable();
