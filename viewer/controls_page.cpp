// The canvas's touches and keys in a web page, handed on by web/controls.js
// and acted out as the mouse drags they stand for (viewer/gesture.h).

#include <emscripten.h>

#include "viewer/gesture.h"
#include "viewer/glut.h"
#include "viewer/mouse.h"
#include "viewer/viewer.h"
#include "web/page.h"

namespace {

int fingers = 0;  // on the canvas, as last handed on: 0, 1 or 2
Pinch pinch;

void act(const Drag& d, int x, int y) {
    if (d.dx == 0 && d.dy == 0) return;
    viewer_mouse_button(d.button, GLUT_DOWN, x, y);
    viewer_mouse_motion(x + d.dx, y + d.dy);
    viewer_mouse_button(d.button, GLUT_UP, x + d.dx, y + d.dy);
}

}  // namespace

// A new count ends what the fingers did before and starts afresh; the page
// passes through a count of 0 whenever the fingers are others than before.
// One finger drags with the left button, the pointer in whole pixels as GLUT
// has a mouse's.
EMSCRIPTEN_KEEPALIVE void page_touch(int count, double ax, double ay, double bx, double by) {
    const Finger a{ax, ay}, b{bx, by};
    if (count != fingers) {
        if (fingers == 1) viewer_mouse_button(GLUT_LEFT_BUTTON, GLUT_UP, int(ax), int(ay));
        fingers = count;
        if (count == 1) viewer_mouse_button(GLUT_LEFT_BUTTON, GLUT_DOWN, int(ax), int(ay));
        if (count == 2) pinch = pinch_start(a, b);
    } else if (count == 1) {
        viewer_mouse_motion(int(ax), int(ay));
    } else if (count == 2) {
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        Drag zoom, turn;
        pinch_move(pinch, a, b, viewport[2], zoom, turn);
        // Zooming and turning about the same pivot commute: the order is free.
        const int x = int((ax + bx) / 2), y = int((ay + by) / 2);
        act(zoom, x, y);
        act(turn, x, y);
    }
}

// A key that stands for a drag starts it at the canvas's centre.
EMSCRIPTEN_KEEPALIVE int page_key(int key) {
    Drag d;
    if (!key_drag(key, d)) return 0;
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    act(d, viewport[2] / 2, viewport[3] / 2);
    return 1;
}

// The reshape of a new window size, which rebuilds the projection from
// identity, whatever the drags did to it: a canvas never changes its size.
EMSCRIPTEN_KEEPALIVE void page_first_view() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    viewer_reshape(viewport[2], viewport[3]);
    glutPostRedisplay();
}
