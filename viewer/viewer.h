#pragma once
// The viewer window: opens it on the scene and runs the window toolkit.

#include "viewer/shapes.h"

/// Opens the window "Geometrija - prikaz zadatka" with a perspective of
/// `fov_degrees` (vertical), places the camera from the scene's bounds and
/// runs the event loop. Never returns; the process ends when the window is
/// closed. argc and argv go to the toolkit, which may take its own options.
[[noreturn]] void viewer_run(int argc, char** argv, double fov_degrees);

/// Tells a page's readers what the window will show: the table of `size`
/// on `axes` axes (2 or 3), the start point, the direction and the path (the
/// scene's red segments), in words (viewer/words.h); a desktop window says nothing.
void viewer_describe(const float size[], int axes, Point start, Point direction);

/// Draws the whole scene; also runs again and again while the window is
/// open, at the screen's pace (while_idle).
void viewer_display();

/// Sets the viewport and a fresh projection for a window of w x h pixels.
/// Leaves the projection matrix selected: the navigation acts on it.
void viewer_reshape(int w, int h);
