"""The end-to-end tests: which there are for a build, and running one.

    run.py list KIND BINARY_DIR
        The tests of a build of KIND (desktop, sanitized, wine or web), a line each:
        NAME|CTEST PROPERTIES|ARGUMENT|..., for CMake to add as `run.py ARGUMENTS FLAT BOX [-- EMULATOR...]`.
    run.py BACKEND[.WAY] CASE... FLAT BOX [-- EMULATOR...]
        Runs cases (steps.py) on a backend: desktop, sanitized or wine for a window case, or transcript for
        a console transcript (NAME.in, through the `transcript` script); or chromium, firefox or webkit for
        cases in the pages beside FLAT and BOX, all in one browser. FLAT and BOX are the programs.
"""

import glob
import os
import sys

sys.dont_write_bytecode = True  # nothing written into tests/ or scripts/
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import desktop  # noqa: E402
import page  # noqa: E402
from steps import BACKENDS, ENGINES, Case, check  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DISPLAY = "LABELS display"  # needs an X display or a browser


def tests(kind, binary):
    """(name, properties, arguments) of each test of a build of `kind`."""
    check(dict(desktop=desktop.Desktop, sanitized=desktop.Desktop, wine=desktop.Wine,
               **dict.fromkeys(ENGINES, page.Page)))
    transcripts = sorted(glob.glob(f"{HERE}/transcripts/*.in"))
    cases = [Case(p) for p in sorted(glob.glob(f"{HERE}/windows/*.case") + glob.glob(f"{HERE}/pages/*.case"))]
    for case in cases:
        for engine in case.engines:
            list(case.steps_for(engine))  # a step the engine cannot do fails the listing too
    if kind != "web":
        assert kind in ("desktop", "sanitized", "wine"), f"no build kind {kind}"
        engine = kind
        window = DISPLAY + " TIMEOUT 300" + (f" RESOURCE_LOCK wine-window ENVIRONMENT WINEPREFIX={binary}/wine-window"
                                             * (kind == "wine"))
        yield from ((f"transcript.{os.path.basename(t)[:-3]}", "", ["transcript", t]) for t in transcripts)
        yield from ((f"window.{c.name}", window, [engine, c.path]) for c in cases if engine in c.engines)
        return
    for engine in ENGINES:
        # All the transcripts in one browser, slow to start; a page has no full output device. A million
        # legs' GL takes Chromium both cores.
        yield (f"page.{engine}.transcripts", DISPLAY + " PROCESSORS 2" * (engine == "chromium"),
               [engine] + [t for t in transcripts if not t.endswith("_output_full.in")])
        for t in transcripts:
            for way in open(t[:-3] + ".ways").read().split() if os.path.exists(t[:-3] + ".ways") else ():
                yield f"page.{engine}.{way}.{os.path.basename(t)}", DISPLAY, [f"{engine}.{way}", t]
        for c in cases:
            if engine in c.engines:
                for way in ["http"] + c.ways:
                    yield (f"page.{engine}{'.' + way if way != 'http' else ''}.{c.name}.case", DISPLAY,
                           [f"{engine}.{way}", c.path])


def main(argv):
    if argv[0] == "list":
        for name, properties, arguments in tests(*argv[1:]):
            print("|".join([name, properties, *arguments]))
        return
    emulator = argv[argv.index("--") + 1:] if "--" in argv else []
    argv = argv[:argv.index("--")] if "--" in argv else argv
    backend, way = (argv[0].split(".") + ["http"])[:2]
    *paths, flat, box = argv[1:]
    programs = dict(flat=flat, box=box)
    cases = [Case(p) for p in paths]
    if backend == "transcript":
        os.execv(f"{HERE}/transcript", [f"{HERE}/transcript", *emulator, programs[cases[0].program], paths[0]])
    assert backend in BACKENDS, f"no backend {backend}"
    if backend in ENGINES:
        page.run(os.path.dirname(os.path.abspath(flat)), cases, backend, way)
    else:
        try:
            desktop.run(cases[0], backend, os.path.abspath(programs[cases[0].program]), emulator)
        except AssertionError as e:
            raise AssertionError(f"{cases[0].path}: {e}") from None


if __name__ == "__main__":
    try:
        main(sys.argv[1:])
    except AssertionError as e:
        sys.exit(f"FAIL {e}")
