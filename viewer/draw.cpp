#include "viewer/draw.h"

#include <cmath>

#include "viewer/glut.h"

namespace {

const float palette[10][3] = {
    {1, 0, 0},   {0, 1, 0}, {0, 0, 1}, {1, 1, 0},     {1, 0.5f, 0},
    {1, 0, 1},   {0, 1, 1}, {0.5f, 0, 0.5f}, {1, 1, 1}, {0, 0, 0},
};

void vertex(const Point& p) { glVertex3f(p.x, p.y, p.z); }

}  // namespace

void apply_colour(ColourCode c) {
    if (c < 0 || c > 9) return;
    glColor3f(palette[c][0], palette[c][1], palette[c][2]);
}

void draw_point(const Point& p) {
    apply_colour(p.colour);
    glPointSize(4.0f);
    glBegin(GL_POINTS);
    vertex(p);
    glEnd();
}

void draw_segment(const Segment& s) {
    glPointSize(4.0f);
    apply_colour(s.colour);
    glBegin(GL_LINES);
    vertex(s.a);
    vertex(s.b);
    glEnd();
    glBegin(GL_POINTS);
    vertex(s.a);
    vertex(s.b);
    glEnd();
}

void draw_line(const Line& l) {
    const Point& b = l.base;
    const Point& d = l.direction;
    apply_colour(l.colour);
    glBegin(GL_LINES);
    glVertex3f(float(b.x + 100.0 * d.x), float(b.y + 100.0 * d.y), float(b.z + 100.0 * d.z));
    glVertex3f(float(b.x - 100.0 * d.x), float(b.y - 100.0 * d.y), float(b.z - 100.0 * d.z));
    glEnd();
}

void draw_circle(const Circle& c) {
    apply_colour(c.colour);
    glBegin(GL_LINE_LOOP);
    for (int i = 0; i < 100; ++i) {
        const float theta = float(i * 6.283185307179586 / 100);
        const float cs = float(std::cos(double(theta)));
        const float sn = float(std::sin(double(theta)));
        glVertex3f(float(c.centre.x + double(cs) * c.radius),
                   float(c.centre.y + double(sn) * c.radius), c.centre.z);
    }
    glEnd();
}
