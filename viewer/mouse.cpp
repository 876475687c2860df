#include "viewer/mouse.h"

// Navigation is not in yet: the view stays as first shown.
void viewer_mouse_button(int, int, int, int) {}
void viewer_mouse_motion(int, int) {}
