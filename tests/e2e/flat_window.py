"""trakflat's window under a virtual display: `flat_window.py TRAKFLAT CASE`.

pixels: the window's place and size, and every pixel of the first view:
        the black edges and the blue start point where the camera puts
        them, the clear colour everywhere else.
calls:  the GL calls of the first frame (set-up, reshape, drawing) and
        the continuous redraw, from an apitrace trace.
"""

import os
import tempfile
import time

from glwin import (BLACK, BLUE, CLEAR, WINDOW, Display, bounds_of, brief, camera,
                   check, f32, gl_calls, line_pixel, main, perspective, point_block,
                   point_calls, project, read_trace, run, segment_calls)

FOV = 30
BLUE_RGB = (0, 0, 255)
BLACK_RGB = (0, 0, 0)


def table(width, height):
    """The four edges in drawing order: bottom, right, top, left."""
    c = [(0.0, 0.0, 0.0), (width, 0.0, 0.0), (width, height, 0.0), (0.0, height, 0.0)]
    return [(c[k], c[(k + 1) % 4]) for k in range(4)]


def answers(width, height, start, bounces=0):
    # Direction (1, 1); with no bounces nothing but the table and the start
    # point is drawn, whatever the path tracer does.
    return f"{width}\n{height}\n{start[0]}\n{start[1]}\n1\n1\n{bounces}\n"


def edge_pixels(a, b, cam):
    """The pixels of an axis-parallel edge whose ends lie outside the window
    (no table in trakflat's first view is seen whole: at 30 degrees it takes
    in 0.78 W across and 0.54 of the distance up)."""
    w, h = WINDOW[2:]
    (ax, ay), (bx, by) = project(a, cam, FOV), project(b, cam, FOV)
    inside = [(x, y) for x, y in ((ax, ay), (bx, by)) if 0 <= x < w and 0 <= y < h]
    check(not inside, f"edge {a}-{b}: an end is in view at {inside}; pick another table")
    if a[1] == b[1]:
        col, row = line_pixel(0, ay)
        crosses = min(ax, bx) < 0 and max(ax, bx) >= w and 0 <= row < h
        return {(c, row) for c in range(w)} if crosses else set()
    col, row = line_pixel(ax, 0)
    crosses = min(ay, by) < 0 and max(ay, by) >= h and 0 <= col < w
    return {(col, r) for r in range(h)} if crosses else set()


# width, height, start; why this table
PICTURES = [
    (4, 2, (1.5, 0.5)),   # distance = W = 4: bottom and top edges in view, sides out
    (1, 5, (0.25, 3.0)),  # 5 W = H, so distance = H = 5: both sides in view
]


def pixels(program):
    with Display() as d:
        for width, height, start in PICTURES:
            case = f"table {width} x {height}, start {start}"
            with run(d, program, answers(width, height, start)) as p:
                p.window()
                check(p.geometry() == WINDOW, f"{case}: window at {p.geometry()}")
                shot = p.screenshot()
                edges = table(width, height)
                cam = camera(*bounds_of([e[0] for e in edges]))
                expected = {}
                for a, b in edges:
                    expected.update(dict.fromkeys(edge_pixels(a, b, cam), BLACK_RGB))
                check(len(expected) > 1000, f"{case}: no edge in view")
                block = point_block(*project(start, cam, FOV))
                expected.update(dict.fromkeys(block, BLUE_RGB))

                drawn = shot.other_than(CLEAR)
                wrong = sorted((px, drawn.get(px, CLEAR), rgb)
                               for px, rgb in expected.items() if drawn.get(px) != rgb)
                extra = sorted(px for px in drawn if px not in expected)
                check(not wrong and not extra,
                      f"{case}, camera {cam}: {len(wrong)} pixels differ from the "
                      f"prediction (pixel, got, wanted): {wrong[:8]}; {len(extra)} "
                      f"drawn where the background was expected: {extra[:8]}")
                status = p.close()
                check(status == 0, f"{case}: exit status {status} after closing")


def calls(program):
    width, height, start = 4, 2, (1.5, 0.5)
    edges = table(width, height)
    cam = camera(*bounds_of([e[0] for e in edges]))
    with tempfile.TemporaryDirectory() as tmp, Display() as d:
        trace = os.path.join(tmp, "flat.trace")
        with run(d, program, answers(width, height, start), trace_path=trace) as p:
            p.window()
            time.sleep(0.5)
            status = p.close()
        check(status == 0, f"exit status {status} after closing")
        frames = read_trace(trace)

    first = [brief(c) for c in gl_calls(frames[0])]
    clear_at = next((i for i, c in enumerate(first) if c[0] == "glClear"), None)
    check(clear_at is not None, f"no glClear in the first frame: {first}")
    setup, display = first[:clear_at], first[clear_at:]

    move = (-cam.centre_x, -cam.centre_y, -cam.distance)
    opened = [
        ("glClearColor", f32(0.9), f32(0.9), f32(0.8), 0.0),
        ("glMatrixMode", "GL_PROJECTION"), ("glLoadIdentity",),
        ("glMultMatrixd", perspective(FOV, 1.0)),
        # gluLookAt from (centre, distance) to (centre, 0), y up: no turn,
        # then a move by minus the eye.
        ("glMultMatrixf", [1.0, 0.0, -0.0, 0.0, -0.0, 1.0, -0.0, 0.0,
                           0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0]),
        ("glTranslated",) + move,
        ("glMatrixMode", "GL_MODELVIEW"), ("glLoadIdentity",),
        ("glTranslatef",) + move,
    ]
    reshaped = [
        ("glMatrixMode", "GL_PROJECTION"), ("glLoadIdentity",),
        ("glViewport", 0, 0, WINDOW[2], WINDOW[3]),
        ("glMultMatrixd", perspective(FOV, f32(WINDOW[2] / WINDOW[3]))),
    ]
    check(setup == opened + reshaped,
          "set-up calls differ:\n" + "\n".join(f"  {c}" for c in setup)
          + "\nexpected:\n" + "\n".join(f"  {c}" for c in opened + reshaped))

    drawing = [("glClear", ("GL_DEPTH_BUFFER_BIT", "GL_COLOR_BUFFER_BIT")), ("glPushMatrix",)]
    for a, b in edges:
        drawing += segment_calls(a, b, BLACK)
    drawing += point_calls((start[0], start[1], 0.0), BLUE)
    drawing += [("glPopMatrix",), ("glFlush",)]
    # The toolkit's swap adds a glFlush of its own.
    tail = display[len(drawing):]
    check(display[:len(drawing)] == drawing and all(c == ("glFlush",) for c in tail),
          "drawing calls differ:\n" + "\n".join(f"  {c}" for c in display)
          + "\nexpected:\n" + "\n".join(f"  {c}" for c in drawing))

    swapped = [f for f in frames if f[-1].name == "glXSwapBuffers"]
    check(len(swapped) >= 5, f"only {len(swapped)} frames drawn in half a second")
    redrawn = [f for f in swapped[1:] if [brief(c) for c in gl_calls(f)] != display]
    check(not redrawn, f"{len(redrawn)} later frames draw something else, e.g. "
          f"{[brief(c) for c in gl_calls(redrawn[0])] if redrawn else ''}")


if __name__ == "__main__":
    main({"pixels": pixels, "calls": calls})
