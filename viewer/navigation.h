#pragma once
// The arithmetic of mouse navigation, kept apart from the GL calls so that
// it can be checked without a window.

/// What a drag with the mouse does to the view.
enum class NavStep { none, zoom, move, turn };

/// The step for the buttons held: the middle button, or left and right
/// together, zoom; the left alone moves; the right alone turns.
NavStep nav_step(bool left_down, bool middle_down, bool right_down);

/// Degrees to turn for a motion of (dx, dy) pixels in a viewport
/// `viewport_width` pixels wide: 180 per (width + 1) pixels of movement,
/// clockwise on the screen (negative) when dx > 0.
float turn_angle(int dx, int dy, int viewport_width);

/// Factor to scale by for a vertical motion of dy pixels: e^(dy / 2100).
float zoom_factor(int dy);
