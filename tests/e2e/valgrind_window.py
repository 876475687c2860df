"""One whole run of a program under valgrind's memcheck: the dialogue, the
path, the window drawn for a while, then closed as a window manager would.
Any error in memory use, or memory lost, fails it. The GL driver is Mesa's
softpipe (no JIT code for valgrind to stumble over); reports from the
system's own libraries are suppressed by valgrind.supp beside this file.

    python3 valgrind_window.py PROGRAM run
"""

import os
import time

from glwin import Display, check, main, need, run

HERE = os.path.dirname(os.path.abspath(__file__))
EXAMPLES = os.path.join(HERE, "..", "..", "examples")
ERRORS = 99


def whole_run(program):
    need("valgrind")
    name = "box_worked.txt" if os.path.basename(program) == "trakbox" else "flat_worked.txt"
    with open(os.path.join(EXAMPLES, name)) as f:
        answers = f.read()
    log = os.path.join(HERE, f".valgrind-{os.getpid()}.log")
    wrapper = ["valgrind", f"--error-exitcode={ERRORS}", "--leak-check=full",
               "--errors-for-leak-kinds=definite,indirect", "--keep-debuginfo=yes",
               f"--suppressions={os.path.join(HERE, 'valgrind.supp')}", f"--log-file={log}"]
    try:
        with Display() as d:
            with run(d, program, answers, wrapper=wrapper,
                     extra_env={"GALLIUM_DRIVER": "softpipe"}) as p:
                p.window(timeout=120)
                time.sleep(2)  # some frames
                status = p.close(timeout=120)
        with open(log) as f:
            report = f.read()
    finally:
        if os.path.exists(log):
            os.remove(log)
    check(status == 0, f"exit status {status}\n{report[-4000:]}")


if __name__ == "__main__":
    main({"run": whole_run})
