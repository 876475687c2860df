"""trakbox's window under a virtual display: `box_window.py TRAKBOX CASE`.

pixels: a box seen whole in the first view: the twelve edges with their
        corner dots and the blue start point where the 60-degree
        projection puts them, nothing else drawn.
calls:  the GL calls of the first frame on the worked path (edges in
        their order, red legs, blue start point) and the continuous redraw.
"""

import math

from glwin import (BLACK, BLACK_RGB, BLUE, BLUE_RGB, CLEAR, RED, WINDOW, Display,
                   bounds_of, camera, check, check_frames, distance_to_segment, main,
                   pixel_centre, point_block, point_calls, project, run, segment_calls,
                   traced)

FOV = 60

# Each edge as (corner, corner); corners 0, 2, 4, 6 ring z = 0 from the
# origin, each odd one is the one before it moved to z = depth.
EDGES = [(0, 2), (2, 4), (4, 6), (6, 0), (1, 3), (3, 5), (5, 7), (7, 1),
         (0, 1), (2, 3), (4, 5), (6, 7)]
DRAWN = [0, 1, 2, 3, 8, 9, 10, 11, 4, 5, 6, 7]


def box(width, height, depth):
    """The edges as (a, b) pairs of (x, y, z), in the order they are drawn."""
    ring = [(0.0, 0.0), (width, 0.0), (width, height), (0.0, height)]
    corners = [(float(x), float(y), float(z)) for x, y in ring for z in (0, depth)]
    return [(corners[EDGES[k][0]], corners[EDGES[k][1]]) for k in DRAWN]


def answers(size, start, direction, bounces):
    return "".join(f"{v}\n" for v in (*size, *start, *direction, bounces))


def pixels(program):
    # Depth 1 keeps the front face 3 from the eye, where the 60-degree view
    # takes in 3.5 x 2.4 around the centre (2, 1.5): every corner is in view.
    size, start = (4, 3, 1), (1.5, 1.0, 0.5)
    edges = box(*size)
    cam = camera(*bounds_of([e[0] for e in edges]))
    on_screen = [[project(p, cam, FOV) for p in e] for e in edges]
    w, h = WINDOW[2:]
    check(all(0 <= x < w and 0 <= y < h for e in on_screen for x, y in e),
          f"a corner is out of view: {on_screen}")
    dots = {px for e in on_screen for p in e for px in point_block(*p)}
    blue = set(point_block(*project(start, cam, FOV)))

    with Display() as d:
        with run(d, program, answers(size, start, (1, 1, 1), 0)) as p:
            p.window()
            check(p.geometry() == WINDOW, f"window at {p.geometry()}")
            drawn = p.screenshot().other_than(CLEAR)
            check(p.close() == 0, "exit status after closing")

    wrong = sorted((px, drawn.get(px, CLEAR)) for px in dots - blue if drawn.get(px) != BLACK_RGB)
    wrong += sorted((px, drawn.get(px, CLEAR)) for px in blue if drawn.get(px) != BLUE_RGB)
    check(not wrong, f"camera {cam}: dots missing (pixel, got): {wrong[:8]}")

    # Lines may fall on either side of a pixel boundary: a drawn pixel's
    # centre lies within 1 pixel of some projected edge, and every edge
    # shows along its whole length.
    stray = sorted(px for px, rgb in drawn.items() if px not in dots | blue and (
        rgb != BLACK_RGB or
        min(distance_to_segment(pixel_centre(*px), a, b) for a, b in on_screen) > 1.0))
    check(not stray, f"camera {cam}: {len(stray)} pixels drawn off the predicted "
          f"edges: {[(px, drawn[px]) for px in stray[:8]]}")
    for (a, b), (wa, wb) in zip(edges, on_screen):
        steps = int(math.hypot(wb[0] - wa[0], wb[1] - wa[1]) // 5)
        gaps = []
        for i in range(1, steps):
            x = wa[0] + (wb[0] - wa[0]) * i / steps
            y = wa[1] + (wb[1] - wa[1]) * i / steps
            col, row = math.floor(x), h - 1 - math.floor(y)
            near = [(col + dc, row + dr) for dc in (-1, 0, 1) for dr in (-1, 0, 1)]
            if not any(drawn.get(px) in (BLACK_RGB, BLUE_RGB) for px in near):
                gaps.append((col, row))
        check(not gaps, f"edge {a}-{b}: not drawn near {gaps[:8]}")


def calls(program):
    # The worked path: three legs, the last ending on an edge.
    size, start, direction = (4, 3, 2), (1.0, 1.0, 1.0), (1, 1, 1)
    legs = [((1.0, 1.0, 1.0), (2.0, 2.0, 2.0)), ((2.0, 2.0, 2.0), (3.0, 3.0, 1.0)),
            ((3.0, 3.0, 1.0), (4.0, 2.0, 0.0))]
    edges = box(*size)
    frames, _ = traced(program, answers(size, start, direction, 5))
    shapes = [c for a, b in edges for c in segment_calls(a, b, BLACK)]
    shapes += [c for a, b in legs for c in segment_calls(a, b, RED)]
    shapes += point_calls(start, BLUE)
    check_frames(frames, FOV, camera(*bounds_of([e[0] for e in edges])), shapes)


if __name__ == "__main__":
    main({"pixels": pixels, "calls": calls})
