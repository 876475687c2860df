"""trakflat's window under a virtual display: `flat_window.py TRAKFLAT CASE`.

pixels: the window's place and size, and every pixel of the first view:
        the black edges and the blue start point where the camera puts
        them, the clear colour everywhere else.
calls:  the GL calls of the first frame on a worked path (set-up, reshape,
        edges, red legs, start point) and the continuous redraw, from an
        apitrace trace.
legs:   the same path on screen: every red pixel lies on a leg, and every
        leg is drawn red along the part of it that is in view.
"""

from glwin import (BLACK, BLACK_RGB, BLUE, BLUE_RGB, CLEAR, RED, RED_RGB, WINDOW, Display,
                   bounds_of, camera, check, check_frames, distance_to_segment, line_pixel, main,
                   pixel_centre, point_block, point_calls, project, run, segment_calls, traced)

FOV = 30


def table(width, height):
    """The four edges in drawing order: bottom, right, top, left."""
    w, h = float(width), float(height)
    c = [(0.0, 0.0, 0.0), (w, 0.0, 0.0), (w, h, 0.0), (0.0, h, 0.0)]
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
                wrong = sorted((px, drawn.get(px, CLEAR), expected.get(px, CLEAR))
                               for px in drawn.keys() | expected.keys()
                               if drawn.get(px) != expected.get(px))
                check(not wrong, f"{case}, camera {cam}: {len(wrong)} pixels differ from "
                      f"the prediction (pixel, got, wanted): {wrong[:8]}")
                check(p.close() == 0, f"{case}: exit status after closing")


# A worked path: from (1, 1) along (1, 1), into the corner (4, 0) and
# turned back to (2, 2).
WORKED = (4, 2, (1.0, 1.0))
WORKED_LEGS = [((1.0, 1.0, 0.0), (2.0, 2.0, 0.0)), ((2.0, 2.0, 0.0), (4.0, 0.0, 0.0)),
               ((4.0, 0.0, 0.0), (2.0, 2.0, 0.0))]


def calls(program):
    width, height, start = WORKED
    edges = table(width, height)
    frames, _ = traced(program, answers(width, height, start, bounces=3))
    shapes = [c for a, b in edges for c in segment_calls(a, b, BLACK)]
    shapes += [c for a, b in WORKED_LEGS for c in segment_calls(a, b, RED)]
    shapes += point_calls((*start, 0.0), BLUE)
    check_frames(frames, FOV, camera(*bounds_of([e[0] for e in edges])), shapes)


def legs(program):
    width, height, start = WORKED
    cam = camera(*bounds_of([e[0] for e in table(width, height)]))
    w, h = WINDOW[2:]
    on_screen = [(project(a, cam, FOV), project(b, cam, FOV)) for a, b in WORKED_LEGS]
    with Display() as d:
        with run(d, program, answers(width, height, start, bounces=3)) as p:
            p.window()
            red = [px for px, rgb in p.screenshot().other_than(CLEAR).items() if rgb == RED_RGB]
            p.close()
    check(len(red) > 500, f"only {len(red)} red pixels")
    # Lines are a pixel wide and the dots at their ends 4 pixels across.
    stray = [px for px in red
             if min(distance_to_segment(pixel_centre(*px), a, b) for a, b in on_screen) > 3]
    check(not stray, f"{len(stray)} red pixels off every leg: {stray[:8]}")
    red = set(red)
    for a, b in on_screen:
        for i in range(1, 40):
            t = i / 40
            x, y = a[0] + t * (b[0] - a[0]), a[1] + t * (b[1] - a[1])
            if not (2 <= x < w - 2 and 2 <= y < h - 2):
                continue
            col, row = line_pixel(x, y)
            near = {(col + dc, row + dr) for dc in (-1, 0, 1) for dr in (-1, 0, 1)}
            check(near & red, f"leg {a}-{b}: no red pixel near ({col}, {row})")


if __name__ == "__main__":
    main({"pixels": pixels, "calls": calls, "legs": legs})
