"""Comparing what a window shows with the reference pictures in pictures/, and GL calls with calls/."""

import difflib
import os
import subprocess
import tempfile

from xwindow import until

HERE = os.path.dirname(os.path.abspath(__file__))
UPDATE = os.environ.get("UPDATE") == "1"  # writes missing reference files


def alike(got, want, w, slack):
    """Whether two RGB pictures are the same, or differ in at most `slack`
    pixels (of a picture `w` wide), each of whose colours lies at most one pixel
    away in the other: a line drawn a pixel aside, as renderers may turn lines."""
    if got == want or len(got) != len(want) or not slack:
        return got == want
    px = lambda p, i: p[3 * i:3 * i + 3] if i >= 0 else b""
    off = [i for i in range(len(got) // 3) if px(got, i) != px(want, i)]
    near = lambda p, q, i: any(px(q, i + y + x) == px(p, i) for y in (-w, 0, w) for x in (-1, 0, 1))
    return len(off) <= slack and all(near(got, want, i) and near(want, got, i) for i in off)


def look(picture, keep, name, slack=0):
    """Waits until `picture()` (RGB) is pictures/NAME.png, as `alike` says;
    else `keep(path)` writes the picture shown as a PNG, and it fails."""
    path = os.path.join(HERE, "pictures", name + ".png")
    if UPDATE and not os.path.exists(path):
        keep(path)
    # /usr/bin/convert: a `convert` earlier on PATH may not be ImageMagick's.
    want = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], capture_output=True).stdout
    width = int(subprocess.run(["/usr/bin/identify", "-format", "%w", path], capture_output=True).stdout)
    try:
        until(name, lambda: alike(picture(), want, width, int(slack)))
    except AssertionError:
        keep(got := os.path.join(tempfile.gettempdir(), name + ".png"))
        raise AssertionError(f"the window does not show {path}, but {got}") from None


def same(calls, name):
    """That the GL calls are calls/NAME.txt."""
    path = os.path.join(HERE, "calls", name + ".txt")
    if UPDATE and not os.path.exists(path):
        open(path, "w").write("\n".join(calls) + "\n")
    diff = list(difflib.unified_diff(open(path).read().splitlines(), calls, path, "traced", lineterm="", n=1))
    assert not diff, "\n".join(diff[:30])
