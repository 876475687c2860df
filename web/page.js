// The page around a program built for the browser: its console and its
// input. Standard output goes to #console as it is written, standard error
// to #errors. The program's reads await the answers typed into #answer, one
// line at each Enter (echoed after the prompt, as a terminal does), until
// Ctrl-D in an empty field ends the input. With ?input=ANSWERS (the
// answers URL-encoded) or ?answers=FILE (a file of the site) the answers
// come with the page instead, as a redirected file is read: no echo.
// Module.frames (frames drawn) and Module.exitStatus (once the program has
// ended) tell a test driver how far the program is. What the program and
// this script exchange is listed in web/page.h.

Module.canvas = document.getElementById('canvas');
Module.canvas.addEventListener('contextmenu', (e) => e.preventDefault());

(function () {
  const consoleEl = document.getElementById('console');
  const errorsEl = document.getElementById('errors');
  const answer = document.getElementById('answer');

  // Appends text to an element, in a span of class `cls` if one is given. Input handed to the
  // program starts a new turn of the console: the answer's echo and what the program says next,
  // which a screen reader reads as the log's one addition, and nothing before it again. A turn is
  // an object of its own (a paragraph), not merged into the log's text, and shown inline, so that
  // an answer stays on its prompt's line.
  let newTurn = false;
  function show(el, text, cls) {
    if (!el.lastElementChild || (el === consoleEl && newTurn)) {
      el.appendChild(document.createElement('div')).setAttribute('role', 'paragraph');
      newTurn = newTurn && el !== consoleEl;
    }
    const turn = el.lastElementChild;
    if (cls) {
      const span = document.createElement('span');
      span.className = cls;
      span.textContent = text;
      turn.appendChild(span);
    } else if (turn.lastChild && turn.lastChild.nodeType === Node.TEXT_NODE) {
      turn.lastChild.appendData(text);
    } else {
      turn.appendChild(document.createTextNode(text));
    }
  }

  // Each stream's bytes as they come, decoded as UTF-8 across byte boundaries.
  function writer(el) {
    const decoder = new TextDecoder();
    const one = new Uint8Array(1);
    return (byte) => {
      one[0] = byte;
      const text = decoder.decode(one, { stream: true });
      if (text) show(el, text);
    };
  }
  Module.stdout = writer(consoleEl);
  Module.stderr = writer(errorsEl);

  // The input not read yet, and whether more can come.
  let pending = new Uint8Array(0);
  let ended = false;
  let wake = null;

  function give(bytes, last) {
    const all = new Uint8Array(pending.length + bytes.length);
    all.set(pending);
    all.set(bytes, pending.length);
    pending = all;
    if (last) {
      ended = true;
      answer.disabled = true;
    }
    if (wake) wake();
  }

  // The answer field is named by the question it answers, as the program
  // asks it ("Unesi koordinate pocetne tacke x=").
  Module.trakAsking = (question) => answer.setAttribute('aria-label', question);

  // Up to `size` bytes of input, awaited until there are some; none at the end.
  Module.trakInput = async (size) => {
    while (!pending.length && !ended) await new Promise((resolve) => (wake = resolve));
    wake = null;
    const bytes = pending.subarray(0, size);
    pending = pending.subarray(bytes.length);
    return bytes;
  };

  answer.addEventListener('keydown', (e) => {
    if (e.key === 'Enter') {
      const line = answer.value + '\n';
      answer.value = '';
      newTurn = true;
      show(consoleEl, line, 'echo');
      give(new TextEncoder().encode(line), false);
    } else if (e.ctrlKey && (e.key === 'd' || e.key === 'D') && answer.value === '') {
      e.preventDefault();
      newTurn = true;
      give(new Uint8Array(0), true);
    }
  });

  // Answers given with the page: in its address, or in a file of the site,
  // which a page opened from the file system cannot fetch.
  const params = new URLSearchParams(location.search);
  const input = params.get('input');
  const file = params.get('answers');
  if (input !== null) {
    answer.disabled = true;
    give(new TextEncoder().encode(input), true);
  } else if (file !== null) {
    answer.disabled = true;
    fetch(file)
      .then((r) => (r.ok ? r.arrayBuffer() : Promise.reject(new Error(r.status))))
      .then((data) => give(new Uint8Array(data), true))
      .catch(() => {
        show(errorsEl, 'Odgovori iz datoteke ' + file + ' ne mogu da se procitaju: dajte ih sa ' +
             '?input= ili otvorite stranicu preko veb servera.\n');
        give(new Uint8Array(0), true);
      });
  } else {
    answer.focus({ preventScroll: true });
  }

  // The picture in words: the canvas's name, and the list of the path's legs.
  Module.trakDescribe = (name, ends, more) => {
    Module.canvas.setAttribute('aria-label', name);
    document.getElementById('path').replaceChildren(...ends.split('\n').filter((e) => e).map((e) => {
      const item = document.createElement('li');
      item.textContent = e;
      return item;
    }));
    document.getElementById('path-more').textContent = more;
  };

  Module.frames = 0;
  // Once the window shows, the dialogue is over; a student who typed the
  // answers goes on to the picture, and the answer field goes: a screen
  // reader could still take its last events for a return to it.
  Module.postMainLoop = () => {
    if (Module.frames++) return;
    document.body.classList.add('shown');
    if (document.activeElement === answer) Module.canvas.focus({ preventScroll: true });
    answer.disabled = true;
    answer.hidden = true;
  };
  Module.onExit = (status) => {
    Module.exitStatus = status;
    ended = true;
    answer.disabled = true;
  };
})();
