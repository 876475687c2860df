"""The end-to-end tests of a build, and running one.

`run.py list KIND BINARY_DIR` lists the tests of a build of KIND (desktop, sanitized, wine or web)
as NAME|CTEST PROPERTIES|ARGUMENT|..., each case's steps checked first, which CMake adds as
`run.py ARGUMENT... FLAT BOX [-- EMULATOR...]`. `run.py check CASE...` says what is wrong with each
case named. `run.py BACKEND[.WAY] CASE... FLAT BOX [-- EMULATOR...]` runs a window case on desktop,
sanitized or wine, a console transcript on `transcript`, or cases in one browser of chromium,
firefox or webkit in the pages beside FLAT and BOX (the programs), the answers given in WAY."""

import glob
import os
import sys

sys.dont_write_bytecode = True  # nothing written into tests/ or scripts/
import desktop
import page
from drivers.orca import orca
from steps import ENGINES, HERE, Case

ORCA = "/usr/lib/python3/dist-packages/orca/orca_platform.py"


def tests(kind, binary):
    """(name, ctest properties, arguments) of each test of a build of `kind`."""
    transcripts = [Case(p) for p in sorted(glob.glob(f"{HERE}/transcripts/*.in"))]
    cases = [Case(p) for p in sorted(glob.glob(f"{HERE}/windows/*.case") +
                                     glob.glob(f"{HERE}/pages/*.case"))]
    if kind in ("desktop", "sanitized", "wine"):
        wine = f" RESOURCE_LOCK wine-window ENVIRONMENT WINEPREFIX={binary}/wine-window"
        window = "LABELS display TIMEOUT 300" + wine * (kind == "wine")
        yield from ((f"transcript.{t.name}", "LABELS console", ["transcript", t.path])
                    for t in transcripts)
        yield from ((f"window.{c.name}", window, [kind, c.path])
                    for c in cases if kind in c.engines)
        return
    # What Orca says, as recorded with Orca 43 (Debian 12's): one Orca at a time.
    if 'version     = "43.' in "".join(open(p).read() for p in glob.glob(ORCA)):
        yield from ((f"orca.{os.path.basename(p)}", "LABELS display RESOURCE_LOCK orca TIMEOUT 300",
                     ["orca", p]) for p in sorted(glob.glob(f"{HERE}/orca/*.*")))
    for engine in ENGINES:
        # All the transcripts in one browser, slow to start; a page has no full output device.
        # Drawing a million legs takes Chromium's renderer both cores.
        both = " PROCESSORS 2" * (engine == "chromium")
        yield (f"page.{engine}.transcripts", "LABELS display" + both,
               [engine] + [t.path for t in transcripts if not t.name.endswith("_output_full")])
        yield from ((f"page.{engine}.{way}.{os.path.basename(c.path)}".replace(".http.", "."),
                     "LABELS display", [f"{engine}.{way}", c.path])
                    for c in transcripts + cases if engine in c.engines
                    for way in ["http"] * (c in cases) + c.ways)


def main(argv):
    if argv[0] == "list":
        for name, properties, arguments in tests(*argv[1:]):
            print("|".join([name, properties, *arguments]))
        return
    if argv[0] == "check":  # what is wrong with each case named, a line each
        for path in argv[1:]:
            try:
                Case(path)
            except AssertionError as e:
                print(e)
        return
    argv, emulator = (argv[:argv.index("--")], argv[argv.index("--") + 1:]) if "--" in argv else \
        (argv, [])
    (backend, way), (*cases, flat, box) = (argv[0] + ".http").split(".")[:2], argv[1:]
    cases = [Case(p) for p in cases]
    program = os.path.abspath(dict(flat=flat, box=box)[cases[0].program])
    if backend == "transcript":
        os.execv(f"{HERE}/transcript", [f"{HERE}/transcript", *emulator, program, cases[0].path])
    if backend == "orca":  # NAME.BROWSER: NAME's keys and what Orca says in BROWSER
        with orca(cases[0].path.rsplit(".", 1)[1], "file://" + program) as reader:
            return reader.converse(open(cases[0].path).read())
    if backend in ENGINES:
        return page.run(os.path.dirname(program), cases, backend, way)
    desktop.run(cases[0], backend, program, emulator)


if __name__ == "__main__":
    try:
        main(sys.argv[1:])
    except AssertionError as e:
        sys.exit(f"FAIL {e}")
