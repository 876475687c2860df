#pragma once
// Keys and fingers on a web page's canvas, as the mouse drags they stand
// for; kept apart from the GL calls so that it can be checked without a
// window. Positions are canvas pixels, from the top-left, y downwards.

/// A button (GLUT's: 0 left, 1 middle, 2 right) pressed, the pointer moved
/// by (dx, dy) in one step, and the button released.
struct Drag {
    int button = 0;
    int dx = 0;
    int dy = 0;
};

/// The arrow keys, as the page passes them (other keys as their character).
enum ArrowKey { arrow_left = 1, arrow_up, arrow_right, arrow_down };

/// The drag a key stands for: an arrow moves by 10 pixels its way; '+' or
/// '=' zooms in by 21 pixels of upward middle drag, '-' out by as much
/// downward; ']' turns clockwise by 10 pixels of rightward right drag, '['
/// counter-clockwise. False for any other key.
bool key_drag(int key, Drag& d);

struct Finger {
    double x = 0;
    double y = 0;
};

/// Two fingers on the canvas, and the drags given for them so far.
struct Pinch {
    double spread = 0;  // their distance when put down
    double angle = 0;   // the direction from the first to the second, now
    double turned = 0;  // radians turned clockwise since put down
    int zoomed = 0;     // pixels of upward middle drag given so far
    int swept = 0;      // pixels of rightward right drag given so far
};

/// Two fingers put down at a and b.
Pinch pinch_start(Finger a, Finger b);

/// The fingers moved to a and b, in a viewport `viewport_width` pixels
/// wide: their spread's change acts as that many pixels of vertical middle
/// drag (apart is upward, enlarging), and their turn as a right drag of
/// the length that turns the view by the same angle, rightward for
/// clockwise. Each drag gives what the whole gesture needs so far less
/// what was given before, in whole pixels, so no fraction is lost; either
/// may be of 0 pixels.
void pinch_move(Pinch& p, Finger a, Finger b, int viewport_width, Drag& zoom, Drag& turn);
