#include "viewer/gesture.h"

#include <cmath>

namespace {

constexpr double pi = 3.141592653589793;

double spread(Finger a, Finger b) { return std::hypot(b.x - a.x, b.y - a.y); }

// With y downwards, a larger angle is a clockwise turn on the screen.
double direction(Finger a, Finger b) { return std::atan2(b.y - a.y, b.x - a.x); }

}  // namespace

bool key_drag(int key, Drag& d) {
    switch (key) {
    case arrow_left: d = Drag{0, -10, 0}; return true;
    case arrow_right: d = Drag{0, 10, 0}; return true;
    case arrow_up: d = Drag{0, 0, -10}; return true;
    case arrow_down: d = Drag{0, 0, 10}; return true;
    case '+':
    case '=': d = Drag{1, 0, -21}; return true;
    case '-': d = Drag{1, 0, 21}; return true;
    case ']': d = Drag{2, 10, 0}; return true;
    case '[': d = Drag{2, -10, 0}; return true;
    default: return false;
    }
}

Pinch pinch_start(Finger a, Finger b) {
    Pinch p;
    p.spread = spread(a, b);
    p.angle = direction(a, b);
    return p;
}

void pinch_move(Pinch& p, Finger a, Finger b, int viewport_width, Drag& zoom, Drag& turn) {
    const int apart = int(std::lround(spread(a, b) - p.spread));
    zoom = Drag{1, 0, p.zoomed - apart};
    p.zoomed = apart;

    // The step's turn is taken the short way round, so a line that passes
    // through the vertical does not count a whole turn.
    const double angle = direction(a, b);
    p.turned += std::remainder(angle - p.angle, 2 * pi);
    p.angle = angle;
    // A drag of length L turns by L / (width + 1) * 180 degrees.
    const int length = int(std::lround(p.turned / pi * (viewport_width + 1)));
    turn = Drag{2, length - p.swept, 0};
    p.swept = length;
}
