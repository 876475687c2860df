#include "viewer/mouse.h"

#include "viewer/glut.h"
#include "viewer/navigation.h"
#include "viewer/platform.h"
#include "viewer/scene.h"

// Every step is multiplied onto the current matrix, which is the projection
// (the reshape routine leaves it selected). The steps therefore act on eye
// coordinates, and a reshape, which rebuilds the projection, undoes them.

namespace {

struct Unprojected {
    double x = 0, y = 0, z = 0;
};

/// The point on the near clipping plane under window pixel (x, y), through
/// the matrices as they are now, with all the navigation done so far.
Unprojected unproject(int x, int y) {
    GLint viewport[4];
    GLdouble modelview[16];
    GLdouble projection[16];
    glGetIntegerv(GL_VIEWPORT, viewport);
    read_matrix(GL_MODELVIEW_MATRIX, modelview);
    read_matrix(GL_PROJECTION_MATRIX, projection);
    // The toolkit counts rows from the top, GL from the bottom.
    Unprojected u;
    gluUnProject(x, viewport[3] - y - 1, 0, modelview, projection, viewport, &u.x, &u.y, &u.z);
    return u;
}

int viewport_width() {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    return viewport[2];
}

// Grabbing a near-plane point and bringing it back under the mouse moves
// shapes at eye distance D by 1/D of the mouse's movement.
void move(int x, int y) {
    const Unprojected u = unproject(x, y);
    const Point& p = scene.picked;
    glTranslatef(float(u.x - p.x), float(u.y - p.y), float(u.z - p.z));
}

// The pivot (centre_x, centre_y, distance) is taken in eye coordinates,
// where it is the image of the scene point (2 centre_x, 2 centre_y, 0):
// that point, not the view's centre, is the one that stays put.
void turn(int dx, int dy) {
    const float angle = turn_angle(dx, dy, viewport_width());
    glTranslatef(scene.centre_x, scene.centre_y, scene.distance);
    glRotatef(angle, 0, 0, 1);
    glTranslatef(-scene.centre_x, -scene.centre_y, -scene.distance);
}

void zoom(int dy) {
    const float f = zoom_factor(dy);
    glTranslatef(scene.centre_x, scene.centre_y, scene.distance);
    glScalef(f, f, f);
    glTranslatef(-scene.centre_x, -scene.centre_y, -scene.distance);
}

}  // namespace

void viewer_mouse_button(int button, int state, int x, int y) {
    if (state != GLUT_DOWN) {
        // Releasing any button ends the drag for all of them.
        scene.left_down = scene.right_down = scene.middle_down = false;
        glutPostRedisplay();
        return;
    }
    scene.last_x = x;
    scene.last_y = y;
    const Unprojected u = unproject(x, y);
    scene.picked = Point{float(u.x), float(u.y), float(u.z)};
    if (button == GLUT_LEFT_BUTTON) scene.left_down = true;
    if (button == GLUT_MIDDLE_BUTTON) scene.middle_down = true;
    if (button == GLUT_RIGHT_BUTTON) scene.right_down = true;
    glutPostRedisplay();
}

void viewer_mouse_motion(int x, int y) {
    const int dx = x - scene.last_x;
    const int dy = y - scene.last_y;
    if (dx == 0 && dy == 0) return;
    switch (nav_step(scene.left_down, scene.middle_down, scene.right_down)) {
    case NavStep::none:
        return;  // the last position stays: no drag is under way
    case NavStep::zoom:
        zoom(dy);
        break;
    case NavStep::move:
        move(x, y);
        break;
    case NavStep::turn:
        turn(dx, dy);
        break;
    }
    scene.last_x = x;
    scene.last_y = y;
    glutPostRedisplay();
}
