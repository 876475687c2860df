"""What drives the programs from outside, for the tests, the benchmark and scripts/snapshot:
xwindow (a private Xvfb and the desktop window on it), webdriver (Chromium and WebKit through
classic WebDriver) and bidi (Firefox through WebDriver BiDi). Importable as `drivers` with the
scripts folder on PYTHONPATH, as CMake and the scripts that use it set it."""
