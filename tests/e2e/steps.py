"""The window and page cases, and comparing what a window shows with pictures/ and its GL calls
with calls/. A case file is NAME.case, NAME starting with the program's short name (flat_...,
box_...). Each line is a step of steps.txt and its arguments; `#` starts a comment. A step runs on
every backend the case runs on, and one that a backend cannot do fails the case at its line, unless
an `end` before it ended the case there."""

import difflib
import os
import re
import subprocess
import tempfile

from drivers.xwindow import until

DESKTOP = ("desktop", "sanitized")  # the programs under Xvfb, plain or built with the sanitizers
ENGINES = ("chromium", "firefox", "webkit")  # the programs' pages
BACKENDS = DESKTOP + ("wine",) + ENGINES
HERE = os.path.dirname(os.path.abspath(__file__))
UPDATE = os.environ.get("UPDATE") == "1"  # writes missing pictures and call lists

KINDS = dict(S=r"\d+(\.\d+)?", BUTTON="[123]", BACKEND="|".join(BACKENDS),
             ENGINE="|".join(ENGINES), WAY="typed|file|input|http",
             **dict.fromkeys("X Y DX DY W H N BYTES".split(), r"-?\d+"))


def pattern(args):
    """The regular expression of an arguments column of steps.txt, matched by the arguments each
    with a blank before it."""
    rx = ""
    for item in args.replace("[", " [ ").replace("]", " ] ").split():
        if item in ("[", "]"):
            rx += "(?:" if item == "[" else ")?"
            continue
        word = "=".join("(?:%s)" % (KINDS.get(w, r"\S+") if w.isupper() else w.replace("/", "|"))
                        for w in item.removesuffix("...").split("="))
        rx += f"(?: {word})" + ("+" if item.endswith("...") else "")
    return re.compile(rx)


# name: (its arguments' pattern, the backends that can do it, its arguments), from steps.txt
STEPS = {}
for row in open(os.path.join(HERE, "steps.txt")):
    if row.strip() and not row.startswith("#"):
        name, args, where, what = (field.strip() for field in row.split("|", 3))
        STEPS[name] = (pattern(args), sum((BACKENDS if w == "all" else ENGINES if w == "pages"
                                           else (w,) for w in where.split()), ()), args)
# Read before the case runs.
CASE_STEPS = ("answers", "engines", "ways", "end", "valgrind", "open", "nowebgl")


class Case:
    """A case file read: its steps as (line, name, arguments), and what a backend needs before it
    starts. A transcript, NAME.in, is a case of its answers alone, its ways in NAME.ways."""

    def __init__(self, path):
        self.path, self.base = path, path.rsplit(".", 1)[0]
        self.name = os.path.basename(self.base)
        self.program = self.name.split("_")[0]
        self.steps = []
        for line, text in enumerate(open(path) if path.endswith(".case") else (), 1):
            if words := text.split("#")[0].split():
                assert words[0] in STEPS, f"{path}:{line}: no step `{words[0]}`"
                args, _, usage = STEPS[words[0]]
                assert args.fullmatch("".join(" " + w for w in words[1:])), \
                    f"{path}:{line}: `{' '.join(words)}`: {words[0]} takes `{usage}`"
                self.steps.append((line, words[0], words[1:]))
        first = lambda name, default: next((a for _, s, a in self.steps if s == name), default)
        pages = os.path.basename(os.path.dirname(path)) == "pages"
        self.engines = first("engines", ENGINES if pages else DESKTOP + ENGINES)
        self.open = first("open", None)
        self.valgrind = first("valgrind", None) is not None
        self.webgl = first("nowebgl", None) is None
        if path.endswith(".case"):
            self.ways = first("ways", [])
            self.answers = "".join(a + "\n" for a in first("answers", [])).encode()
        else:
            ways = self.base + ".ways"
            self.ways = open(ways).read().split() if os.path.exists(ways) else []
            self.answers = open(path, "rb").read()
        for engine in self.engines:  # a step one of them cannot do fails the case here
            list(self.steps_for(engine))

    def steps_for(self, engine):
        """The steps `engine` runs, up to an `end` naming it; one it cannot do fails the case."""
        assert set(self.engines) <= set(BACKENDS), f"{self.path}: engines {self.engines}"
        for line, step, args in self.steps:
            if step == "end" and engine in args:
                return
            assert engine in STEPS[step][1], f"{self.path}:{line}: {engine} cannot do `{step}`; " \
                f"end the case before it there, or leave {engine} out of its engines"
            if step not in CASE_STEPS:
                yield line, step, args

    def run(self, backend, engine):
        """Runs the steps on `backend`, which has a method for each."""
        for line, step, args in self.steps_for(engine):
            try:
                getattr(backend, step)(*args)
            except AssertionError as e:
                raise AssertionError(f"{self.path}:{line}: {step} {' '.join(args)}: {e}") from None


def alike(got, want, w, slack):
    """Whether two RGB pictures are the same, or differ in at most `slack`
    pixels (of a picture `w` wide), each of whose colours lies at most one pixel
    away in the other: a line drawn a pixel aside, as renderers may turn lines."""
    if got == want or len(got) != len(want) or not slack:
        return got == want
    px = lambda p, i: p[3 * i:3 * i + 3] if i >= 0 else b""
    off = [i for i in range(len(got) // 3) if px(got, i) != px(want, i)]
    near = lambda p, q, i: any(px(q, i + y + x) == px(p, i)
                               for y in (-w, 0, w) for x in (-1, 0, 1))
    return len(off) <= slack and all(near(got, want, i) and near(want, got, i) for i in off)


def look(picture, keep, name, slack=0):
    """Waits until `picture()` (RGB) is pictures/NAME.png, as `alike` says;
    else `keep(path)` writes the picture shown as a PNG, and it fails."""
    path = os.path.join(HERE, "pictures", name + ".png")
    if UPDATE and not os.path.exists(path):
        keep(path)
    # /usr/bin/convert: a `convert` earlier on PATH may not be ImageMagick's.
    magick = lambda *argv: subprocess.run(argv, capture_output=True).stdout
    want = magick("/usr/bin/convert", path, "-depth", "8", "rgb:-")
    width = int(magick("/usr/bin/identify", "-format", "%w", path))
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
    diff = list(difflib.unified_diff(open(path).read().splitlines(), calls, path, "traced",
                                     lineterm="", n=1))
    assert not diff, "\n".join(diff[:30])
