"""Turning, moving and zooming the view with real mouse events under a
virtual display: `mouse.py PROGRAM CASE`, PROGRAM being trakflat or trakbox.

turn:    a right drag turns by the angle predicted from its length, and the
         picture turns about the scene point (2 centre_x, 2 centre_y, 0).
zoom:    a middle drag scales by e^(dy / 2100) per step, about the origin.
buttons: left then right held zooms; releasing either ends the drag.
move:    a left drag of 200 pixels moves the plane z = 0 of a first view
         with distance 10 by 20 pixels.
resize:  a change of the window's size brings back the first view.

Screen predictions come from what the view should do (turn about a point,
scale about the origin, move by 1/distance), not from the matrices the
program uses, so a wrong pivot or sign shows up as a misplaced dot.
"""

import collections
import math
import os
import re
import tempfile
import time

from glwin import (BLUE_RGB, WINDOW, Display, bounds_of, brief, camera, check, f32, gl_calls,
                   main, point_block, project, read_trace, run)

# answers: the dialogue, no bounces; corners: two opposite table corners,
# for the bounds; start: the blue dot, in the plane z = 0 so that it turns
# and scales as that plane does.
Setup = collections.namedtuple("Setup", "fov answers corners start")
SETUPS = {
    # 10 x 2: distance = W = 10, and the long edges are in view.
    "trakflat": Setup(30, "10\n2\n6\n1\n1\n1\n0\n", [(0, 0), (10, 2)], (6.0, 1.0, 0.0)),
    # 10 x 10 x 2: distance 10; the whole box lies deeper than the near plane.
    "trakbox": Setup(60, "10\n10\n2\n6\n4\n0\n1\n1\n1\n0\n", [(0, 0), (10, 10)],
                     (6.0, 4.0, 0.0)),
}

PRESS_AT = (400, 300)  # window pixels; anywhere in the window will do
# The stored floats, as the unit tests check them: a turn of 180 degrees per
# 1025 pixels of a drag's length, and a zoom by e^(dy / 2100) per motion.
TURN_100_UP_LEFT = f32(17.560976)
ZOOM = {105: f32(1.05127108), 150: f32(1.07404149), -150: f32(0.931062758)}
NAVIGATION = ("glTranslatef", "glRotatef", "glScalef")


def setup_of(program):
    name = os.path.basename(program)
    check(name in SETUPS, f"{name}: expected one of {sorted(SETUPS)}")
    s = SETUPS[name]
    return s, camera(*bounds_of(s.corners + [s.start]))


# --- pictures --------------------------------------------------------------

def wait_for_picture(p, what, complaint, timeout=5.0):
    """Captures the window until complaint(picture) is None. Events reach the
    program asynchronously, so a picture taken at once may predate them."""
    end = time.monotonic() + timeout
    while True:
        shot = p.capture()
        why = complaint(shot)
        if why is None:
            return shot
        if time.monotonic() > end:
            raise AssertionError(f"{what}: {why}")
        time.sleep(0.05)


def dot_near(wx, wy):
    """A complaint unless the blue dot's 16 pixels are where a dot at GL
    window point (wx, wy) would be, give or take a pixel (llvmpipe rounds its
    own float arithmetic)."""
    want = [sum(px[i] for px in point_block(wx, wy)) / 16 for i in (0, 1)]

    def complaint(shot):
        blue = [divmod(m.start() // 3, shot.width)[::-1]
                for m in re.finditer(re.escape(bytes(BLUE_RGB)), shot.data) if m.start() % 3 == 0]
        if len(blue) != 16:
            return f"{len(blue)} blue pixels, not the 16 of one dot: {blue[:20]}"
        got = [sum(px[i] for px in blue) / 16 for i in (0, 1)]
        if abs(got[0] - want[0]) > 1 or abs(got[1] - want[1]) > 1:
            return f"blue dot centred at {got}, expected {want}"
        return None
    return complaint


# --- traces ----------------------------------------------------------------

def navigation_calls(frames):
    """(name, args...) of every translation, turn and scale after the
    model-view's own translation, each checked to act on the projection."""
    out, mode = [], None
    for c in (c for frame in frames for c in gl_calls(frame)):
        if c.name == "glMatrixMode":
            mode = c.args["mode"]
        elif c.name in NAVIGATION:
            out.append(brief(c))
            check(mode == ("GL_PROJECTION" if len(out) > 1 else "GL_MODELVIEW"),
                  f"{brief(c)} acts on {mode}")
    check(out and out[0][0] == "glTranslatef", f"no model-view translation first: {out[:1]}")
    return out[1:]


def around_pivot(cam, middle):
    """A step about the eye point (centre_x, centre_y, distance)."""
    c = (cam.centre_x, cam.centre_y, cam.distance)
    return [("glTranslatef",) + c, middle, ("glTranslatef",) + tuple(-v for v in c)]


def check_calls(steps, want):
    show = "\n".join
    check(steps == want, f"navigation calls:\n{show(map(str, steps))}\nexpected:\n"
          f"{show(map(str, want))}")


def session(program, act):
    """Runs the program traced on a display of its own, waits for its first
    view, does act(p) and closes the window; returns the navigation calls."""
    s, cam = setup_of(program)
    with tempfile.TemporaryDirectory() as tmp, Display() as d:
        trace = os.path.join(tmp, "app.trace")
        with run(d, program, s.answers, trace_path=trace) as p:
            p.window()
            wait_for_picture(p, "first view", dot_near(*project(s.start, cam, s.fov)))
            act(p)
            check(p.close() == 0, "exit status after closing")
        return navigation_calls(read_trace(trace))


def drag(program, button, moves, where, what):
    """A drag with `button` from PRESS_AT through the relative `moves`, after
    which the blue dot must show at GL window point `where`."""
    def act(p):
        p.mouse_move(*PRESS_AT)
        p.mouse_down(button)
        for step in moves:
            p.mouse_move_relative(*step)
        p.mouse_up(button)
        wait_for_picture(p, what, dot_near(*where))
    return session(program, act)


# --- the cases -------------------------------------------------------------

def turn(program):
    s, cam = setup_of(program)
    angle = TURN_100_UP_LEFT  # counter-clockwise
    pivot = project((2 * cam.centre_x, 2 * cam.centre_y, 0.0), cam, s.fov)
    sx, sy = project(s.start, cam, s.fov)
    # The plane z = 0 is drawn at one depth, so the turn about the pivot's
    # eye axis shows as a turn of the window about the pivot's image.
    r = math.radians(angle)
    ox, oy = sx - pivot[0], sy - pivot[1]
    turned = (pivot[0] + ox * math.cos(r) - oy * math.sin(r),
              pivot[1] + ox * math.sin(r) + oy * math.cos(r))
    steps = drag(program, 3, [(-60, 80)], turned, f"turned by {angle} about {pivot}")
    check_calls(steps, around_pivot(cam, ("glRotatef", angle, 0.0, 0.0, 1.0)))


def zoom(program):
    s, cam = setup_of(program)
    moves = [(0, 105), (0, 105)]  # down: two steps, together e^0.1
    factors = [ZOOM[dy] for _, dy in moves]
    total = factors[0] * factors[1]
    # A zoom alone keeps the origin in place and scales about it by f / (2f - 1).
    origin = project((0.0, 0.0, 0.0), cam, s.fov)
    sx, sy = project(s.start, cam, s.fov)
    k = total / (2 * total - 1)
    zoomed = (origin[0] + k * (sx - origin[0]), origin[1] + k * (sy - origin[1]))
    steps = drag(program, 2, moves, zoomed, f"zoomed by {total} about the origin at {origin}")
    check_calls(steps, [c for f in factors for c in around_pivot(cam, ("glScalef", f, f, f))])


def buttons(program):
    _, cam = setup_of(program)

    def act(p):
        p.mouse_move(*PRESS_AT)
        # Each time: left, then right, drag (zoom), release one, drag on
        # with the other still held (nothing), release it.
        for released_first, still_held, dy in ((3, 1, 150), (1, 3, -150)):
            p.mouse_down(1)
            p.mouse_down(3)
            p.mouse_move_relative(0, dy)
            p.mouse_up(released_first)
            p.mouse_move_relative(40, 30)
            p.mouse_move_relative(-40, -30)
            p.mouse_up(still_held)
        # Neither is held now: a plain move must not navigate either.
        p.mouse_move_relative(25, 25)
        time.sleep(0.2)
    factors = [ZOOM[150], ZOOM[-150]]
    check_calls(session(program, act),
                [c for f in factors for c in around_pivot(cam, ("glScalef", f, f, f))])


def move(program):
    s, cam = setup_of(program)
    check(cam.distance == 10, f"the table should give distance 10, not {cam.distance}")
    moves = [(60, 80), (60, 80)]  # 200 pixels down-right, in two steps
    mx, my = (sum(m[i] for m in moves) for i in (0, 1))
    sx, sy = project(s.start, cam, s.fov)
    # 1/distance of the mouse's way; window y counts up, the mouse's down.
    moved = (sx + mx / cam.distance, sy - my / cam.distance)
    steps = drag(program, 1, moves, moved, f"moved by ({mx}, {my}) / 10")
    check(len(steps) == len(moves) and all(c[0] == "glTranslatef" for c in steps),
          f"expected one translation per motion: {steps}")
    # Together the steps move the near plane (eye distance 1) by the whole
    # way of the mouse: there 700 pixels span 2 tan(fov / 2).
    unit = 2 * math.tan(math.radians(s.fov / 2)) / WINDOW[3]
    total = [sum(c[i] for c in steps) for i in (1, 2, 3)]
    want = [mx * unit, -my * unit, 0.0]
    check(all(abs(g - w) < 1e-5 for g, w in zip(total, want)),
          f"near-plane translation {total}, expected {want}")


def resize(program):
    def act(p):
        first = p.screenshot()
        p.mouse_move(*PRESS_AT)
        p.mouse_down(3)
        p.mouse_move_relative(-60, 80)
        p.mouse_up(3)
        wait_for_picture(p, "turned", lambda shot: "unchanged" if shot.data == first.data else None)
        for size in ((800, 600), WINDOW[2:]):
            p.display.tool("xdotool", "windowsize", str(p.window()), *map(str, size))
            wait_for_picture(p, f"resized to {size}", lambda shot: None if (
                shot.width, shot.height) == size else f"still {shot.width} x {shot.height}")
        wait_for_picture(p, "back to 1024 x 700", lambda shot: None if shot.data == first.data
                         else f"{sum(a != b for a, b in zip(shot.data, first.data))} colour "
                         "bytes differ from the first view")
    session(program, act)


if __name__ == "__main__":
    main({"turn": turn, "zoom": zoom, "buttons": buttons, "move": move, "resize": resize})
