"""The window and page cases: reading a case file, and the one table of the steps it may hold.

A case file is NAME.case; NAME starts with the program's short name (flat_..., box_...). Each line is a
step, a word and its arguments; `#` starts a comment. A step runs on every backend the case runs on,
and a backend that cannot do it fails the case at that line, unless an `end` step before it has ended
the case there for that backend.
"""

import os

DESKTOP = ("desktop", "sanitized")  # the programs under Xvfb, plain or built with the sanitizers
ENGINES = ("chromium", "firefox", "webkit")  # the programs' pages
BACKENDS = DESKTOP + ("wine",) + ENGINES
WINDOW = DESKTOP + ENGINES  # where a window case runs unless it says otherwise; pages/ cases run in ENGINES

# name: (arguments, the backends that can do it, what it does)
STEPS = {
    "answers": ("WORD...", BACKENDS, "the answers, one a line"),
    "engines": ("BACKEND...", BACKENDS, "the backends the case runs on, instead of its folder's"),
    "ways": ("WAY...", BACKENDS, "the ways a page is also given the answers, besides ?answers= from a web "
                                 "server: typed (key by key, echoed), file (typed, in a page opened from a "
                                 "file), input (?input=, from a file); a transcript's are in NAME.ways"),
    "end": ("BACKEND...", BACKENDS, "the case ends here on these backends"),
    "valgrind": ("", ("desktop",), "the whole run under valgrind's memcheck, on Mesa's softpipe"),
    "look": ("NAME [N] [ENGINE=M...]", BACKENDS, "the window shows pictures/NAME.png, but for at most N "
                                                  "pixels drawn one pixel aside (M in ENGINE)"),
    "point": ("X Y", DESKTOP + ENGINES, "the pointer moves to window pixel (X, Y)"),
    "move": ("DX DY", DESKTOP + ENGINES, "the pointer moves by (DX, DY)"),
    "press": ("BUTTON", DESKTOP + ENGINES, "a mouse button (1 left, 2 middle, 3 right) is pressed"),
    "release": ("BUTTON", DESKTOP + ENGINES, "and released"),
    "resize": ("W H", DESKTOP, "the window is resized to W x H"),
    "frame": ("NAME", DESKTOP, "the first frame's GL calls are calls/NAME.txt"),
    "matrix": ("NAME", DESKTOP, "the whole run's matrix calls are calls/NAME.txt"),
    "touch": ("X Y DX DY [X Y DX DY] [N]", ("chromium", "firefox"),
              "one or two fingers put down at canvas pixels, moved in N moves, lifted"),
    "key": ("KEY [N]", ENGINES, "a key pressed N times on the focused element; it must not scroll the page"),
    "viewport": ("[W H]", ENGINES, "the page is shown W x H (bare: 1280 x 1024); it must fit W"),
    "open": ("file|http QUERY", ENGINES, "the page is opened so, with QUERY, instead of given the answers"),
    "nowebgl": ("", ("chromium", "firefox"), "the browser gives no WebGL"),
    "click": ("ID", ENGINES, "the element ID is clicked with the left button at its centre"),
    "focused": ("ID", ENGINES, "the element ID has the focus"),
    "still": ("S", ENGINES, "no frame is drawn for S seconds"),
    "drawn": ("[BYTES]", ENGINES, "a frame was drawn since the window showed or the last still or drawn, "
                                  "and at most BYTES bytes sent to the GPU's buffers"),
}
CASE_STEPS = ("answers", "engines", "ways", "end", "valgrind", "open", "nowebgl")  # read before the case runs


class Case:
    """A case file read: its steps as (line number, name, arguments), with what the backends need first.
    A transcript, NAME.in, is a case of its answers alone."""

    def __init__(self, path):
        self.path, self.base = path, path.rsplit(".", 1)[0]
        self.name = os.path.basename(self.base)
        self.program = self.name.split("_")[0]
        self.steps = []
        with open(path) as f:
            for number, line in enumerate(f if path.endswith(".case") else (), 1):
                if words := line.split("#")[0].split():
                    if words[0] not in STEPS:
                        raise SyntaxError(f"{path}:{number}: no step {words[0]}")
                    self.steps.append((number, words[0], words[1:]))
        first = lambda name, default: next((args for _, step, args in self.steps if step == name), default)
        folder = os.path.basename(os.path.dirname(path))
        self.engines = first("engines", ENGINES if folder == "pages" else WINDOW)
        self.ways = first("ways", [])
        self.answers = "".join(a + "\n" for a in first("answers", [])).encode() if path.endswith(".case") else \
            open(path, "rb").read()
        self.open = first("open", None)
        self.valgrind = any(step == "valgrind" for _, step, _ in self.steps)
        self.webgl = not any(step == "nowebgl" for _, step, _ in self.steps)

    def where(self, line):
        return f"{self.path}:{line}"

    def steps_for(self, engine):
        """The steps `engine` runs, up to an `end` that names it; a step it cannot do fails the case."""
        assert set(self.engines) <= set(BACKENDS), f"{self.path}: engines {self.engines}: not all of {BACKENDS}"
        for line, step, args in self.steps:
            if step == "end" and engine in args:
                return
            if engine not in STEPS[step][1]:
                raise AssertionError(f"{self.where(line)}: {engine} cannot do `{step}`; "
                                     f"end the case before it there, or leave {engine} out of its engines")
            if step not in CASE_STEPS:
                yield line, step, args

    def run(self, backend, engine):
        """Runs the steps on `backend`, which has a method for each step."""
        for line, step, args in self.steps_for(engine):
            try:
                getattr(backend, step)(*args)
            except AssertionError as e:
                raise AssertionError(f"{self.where(line)}: {step} {' '.join(args)}: {e}") from None


def check(backends):
    """That each backend's class has a method for every step the table gives that backend."""
    for engine, cls in backends.items():
        lacking = [s for s, (_, where, _) in STEPS.items()
                   if s not in CASE_STEPS and engine in where and not callable(getattr(cls, s, None))]
        assert not lacking, f"{engine} has no method for the steps {lacking}"
