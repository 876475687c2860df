// The canvas's controls beyond emscripten's GLUT, as a JS library of the
// page: every mouse move reaches the motion routine with its own position,
// and touches and keys on the canvas are handed to the program, which acts
// them out as drags (web/page.h). Installed before main runs, so that
// glutInit registers the handlers set here.

mergeInto(LibraryManager.library, {
  trak_controls__deps: ['$GLUT', '$Browser', 'glutPostRedisplay', '$runtimeKeepalivePush'],
  trak_controls__postset: '_trak_controls();',
  trak_controls: function () {
    // Older emscriptens' GLUT (Debian 12's among them) hands the motion
    // routine the previous position, so each step of a drag came with the
    // next and a drag's last step was lost; this one hands it the current
    // position whatever the version. The program registers no passive motion.
    GLUT.onMousemove = function (event) {
      const x = Browser.mouseX, y = Browser.mouseY;
      Browser.calculateMouseEvent(event);
      if (Browser.mouseX == x && Browser.mouseY == y) return;
      if (GLUT.buttons != 0 && GLUT.motionFunc) {
        event.preventDefault();
        GLUT.saveModifiers(event);
        {{{ makeDynCall('vii', 'GLUT.motionFunc') }}}(Browser.mouseX, Browser.mouseY);
      }
    };
    // GLUT's own makes the first finger a left button, and that is all.
    GLUT.touchHandler = function () {};

    const canvas = Module['canvas'];
    // The window shows once the program has registered its routines.
    const shown = () => GLUT.mouseFunc;
    // The page draws when asked, and a new size of the page asks too.
    window.addEventListener('resize', () => shown() && _glutPostRedisplay());

    // A position in the canvas's pixels, however large the page shows it.
    function at(touch, rect) {
      return [(touch.clientX - rect.left) * canvas.width / rect.width,
              (touch.clientY - rect.top) * canvas.height / rect.height];
    }
    let fingers = '';  // the identifiers of the first two, as last handed on
    function touched(event) {
      if (!shown()) return;
      event.preventDefault();
      const rect = canvas.getBoundingClientRect();
      const now = Array.prototype.slice.call(event.touches, 0, 2);
      const ids = now.map((t) => t.identifier).join(' ');
      if (ids != fingers) _page_touch(0, 0, 0, 0, 0);
      fingers = ids;
      const a = now[0] ? at(now[0], rect) : [0, 0], b = now[1] ? at(now[1], rect) : [0, 0];
      _page_touch(now.length, a[0], a[1], b[0], b[1]);
    }
    for (const type of ['touchstart', 'touchmove', 'touchend', 'touchcancel']) {
      canvas.addEventListener(type, touched, { passive: false });
    }

    const arrows = { ArrowLeft: 1, ArrowUp: 2, ArrowRight: 3, ArrowDown: 4 };  // ArrowKey
    canvas.addEventListener('keydown', (event) => {
      if (!shown() || event.ctrlKey || event.altKey || event.metaKey) return;
      const key = event.key.length == 1 ? event.key.charCodeAt(0) : arrows[event.key];
      if (event.key == 'Home') {
        _page_first_view();
      } else if (!key || !_page_key(key)) {
        return;
      }
      event.preventDefault();
      event.stopPropagation();
    });
    document.getElementById('first-view').addEventListener('click', () => shown() && _page_first_view());
  },
});
