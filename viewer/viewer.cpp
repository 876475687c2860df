#include "viewer/viewer.h"

#include <cstdlib>

#include "viewer/camera.h"
#include "viewer/draw.h"
#include "viewer/glut.h"
#include "viewer/mouse.h"
#include "viewer/platform.h"
#include "viewer/scene.h"

namespace {

double fov = 30;

}  // namespace

void viewer_run(int argc, char** argv, double fov_degrees) {
    fov = fov_degrees;
    int toolkit_argc = argc;
    glutInit(&toolkit_argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 700);
    glutInitWindowPosition(100, 50);
    if (glutCreateWindow("Geometrija - prikaz zadatka") == 0) window_unavailable();
    glClearColor(0.9f, 0.9f, 0.8f, 0.0f);

    const Camera cam = camera_from_bounds(scene.bounds);
    scene.centre_x = cam.centre_x;
    scene.centre_y = cam.centre_y;
    scene.distance = cam.distance;

    // Replaced by the first reshape before anything is drawn; kept so the
    // projection is sound even before the toolkit calls it.
    const ClipRange clip = clip_range(cam.distance);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fov, 1, clip.near_distance, clip.far_distance);
    gluLookAt(cam.centre_x, cam.centre_y, cam.distance, cam.centre_x, cam.centre_y, 0, 0, 1, 0);

    // Brings (centre_x, centre_y, 0) onto the view axis, `distance` ahead.
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-cam.centre_x, -cam.centre_y, -cam.distance);

    glutDisplayFunc(viewer_display);
    while_idle(viewer_display);
    glutMouseFunc(viewer_mouse_button);
    glutMotionFunc(viewer_mouse_motion);
    glutReshapeFunc(viewer_reshape);
    glutMainLoop();
    std::exit(0);  // freeglut ends the process itself when the window closes
}

void viewer_display() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushMatrix();
    for (const Circle& c : scene.circles) draw_circle(c);
    for (const Line& l : scene.lines) draw_line(l);
    draw_segments(scene.segments);
    for (const Point& p : scene.points) draw_point(p);
    glPopMatrix();
    glFlush();
    glutSwapBuffers();
}

void viewer_reshape(int w, int h) {
    const Viewport v = viewport_for(w, h);
    const ClipRange clip = clip_range(scene.distance);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glViewport(0, 0, v.width, v.height);
    gluPerspective(fov, v.aspect, clip.near_distance, clip.far_distance);
}
