#pragma once
// Turning, moving and zooming the view with the mouse.

/// Registered with glutMouseFunc.
void viewer_mouse_button(int button, int state, int x, int y);

/// Registered with glutMotionFunc: called while a button is held.
void viewer_mouse_motion(int x, int y);
